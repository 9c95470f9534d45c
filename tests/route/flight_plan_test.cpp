#include "route/flight_plan.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace tolvex {
namespace {

// The route page's fields as its functions leave them, with an elevation service whose answer
// to each point comes after a chosen number of pauses (or never).
class ScriptedPage : public FlightPlanPage {
 public:
  struct Answer {
    int after_pauses = 0;  // -1: never
    std::string listo = "1";
    std::string elevation = "100|";
  };

  std::string ruta, legs, sample_points;  // what cargaDatos, calcularRuta and AddPT write
  std::vector<Answer> answers;            // per DimeAltura, in order
  int stop_at_pause = -1;                 // esperar reports the window closing at this pause

  std::vector<std::string> statements;
  int pauses = 0;
  std::vector<std::string> progress;

  void run(const std::string& s) override {
    statements.push_back(s);
    if (s == "cargaDatos();") fields["PuntosRuta"] = ruta;
    if (s == "calcularRuta();") fields["Longitud"] = legs;
    if (s == "NumeroVertices();") fields["Listo"] = std::to_string(count_lines(ruta)) + " ";
    if (s.starts_with("AddPT(")) fields["PuntosRuta"] += sample_points;
    if (s.starts_with("DimeAltura(")) {
      current = answers.at(asked++);
      pauses_here = 0;
      fields["PuntosRuta"] = "";
      fields["Listo"] = "0";
      settle();
    }
  }
  std::string read(const std::string& field) override { return fields[field]; }
  bool esperar(int ms) override {
    EXPECT_EQ(ms, kPausaMs);
    if (pauses == stop_at_pause) return false;
    ++pauses;
    ++pauses_here;
    settle();
    return true;
  }
  bool progreso(int n, int total) override {
    progress.push_back(std::to_string(n) + " de " + std::to_string(total));
    return true;
  }

 private:
  static int count_lines(const std::string& text) {
    int n = 0;
    for (char c : text) n += c == '\n';
    return n;
  }
  void settle() {
    if (current.after_pauses < 0 || pauses_here < current.after_pauses) return;
    fields["Listo"] = current.listo;
    if (current.listo == "1") fields["PuntosRuta"] = current.elevation;
  }

  std::map<std::string, std::string> fields;
  Answer current;
  std::size_t asked = 0;
  int pauses_here = 0;
};

std::vector<std::string> elevation_requests(const ScriptedPage& page) {
  std::vector<std::string> out;
  for (const std::string& s : page.statements)
    if (s.starts_with("DimeAltura(") || s.starts_with("AddPT(")) out.push_back(s);
  return out;
}

TEST(FlightPlan, NoRouteAndSinglePointAreErrors) {
  ScriptedPage empty;
  empty.ruta = " \n";
  EXPECT_EQ(calcular_plan_vuelo(empty, 1).error, FlightPlanError::sin_ruta);
  ScriptedPage one;
  one.ruta = "-4.8, 37.4\n";
  EXPECT_EQ(calcular_plan_vuelo(one, 1).error, FlightPlanError::sin_longitud);
  EXPECT_TRUE(elevation_requests(one).empty());
  EXPECT_EQ(flight_plan_message(FlightPlanError::sin_longitud), "Error. No hay sido posible calcular la longitud de la ruta");
}

TEST(FlightPlan, AsksEachSampleInTurnAndWaitsOnlyForAnswersStillMissing) {
  ScriptedPage page;
  // Field line breaks as CR LF: the latitude is sent whole, without the CR.
  page.ruta = "-4.8, 37.4\r\n-3.7, 40.4\r\n";
  page.legs = "60|45\n";
  page.answers = {{0, "1", "512.5|"}, {3, "-1", ""}};
  const FlightPlanOutcome out = calcular_plan_vuelo(page, 1);
  EXPECT_EQ(out.error, FlightPlanError::ninguno);
  EXPECT_EQ(out.longitud, "60|45\n");
  EXPECT_EQ(out.alturas, "512.5|?|") << "a refused point has no terrain, not terrain at 0 m";
  EXPECT_EQ(elevation_requests(page), (std::vector<std::string>{"DimeAltura( 37.4,-4.8)", "DimeAltura( 40.4,-3.7)"}));
  EXPECT_EQ(page.pauses, 3) << "no pause for an answer already there";
  EXPECT_EQ(page.progress, (std::vector<std::string>{"1 de 2", "2 de 2"}));
}

TEST(FlightPlan, APointThatNeverAnswersCostsNinetyNinePauses) {
  ScriptedPage page;
  page.ruta = "0, 0\n0, 1\n";
  page.legs = "60|0\n";
  page.answers = {{-1}, {0, "1", "7|"}};
  EXPECT_EQ(calcular_plan_vuelo(page, 1).alturas, "?|7|");
  EXPECT_EQ(page.pauses, kMaxPausas);
}

TEST(FlightPlan, MultiplierAppendsSamplePointsAfterTheVertices) {
  ScriptedPage page;
  page.ruta = "0, 0\n1, 0\n2, 0\n";
  page.legs = "60|90\n60|90\n";
  page.sample_points = "0.6,0\n1.3,0\n";
  page.answers.assign(5, {});
  EXPECT_EQ(calcular_plan_vuelo(page, 2).alturas, "100|100|100|100|100|");
  const std::vector<std::string> asked = elevation_requests(page);
  ASSERT_EQ(asked.size(), 6u);
  EXPECT_EQ(asked[0], "AddPT(3);");  // 3 vertices x 2 - 3
  EXPECT_EQ(asked[4], "DimeAltura(0,0.6)");
}

TEST(FlightPlan, ClosingTheWindowStopsTheWait) {
  ScriptedPage page;
  page.ruta = "0, 0\n0, 1\n";
  page.legs = "60|0\n";
  page.answers = {{-1}, {-1}};
  page.stop_at_pause = 5;
  EXPECT_EQ(calcular_plan_vuelo(page, 1).error, FlightPlanError::cancelado);
  EXPECT_EQ(elevation_requests(page).size(), 1u);
}

}  // namespace
}  // namespace tolvex
