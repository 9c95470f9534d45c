#include "overlays/airspace_drawing.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tolvex {
namespace {

using Lines = std::vector<std::string>;

TEST(AirspaceDrawing, ExampleRecord) {
  const Lines dibujo = {"DP -0.5,38.1", "DP -0.4,38.2", "DP -0.4,38.1"};
  EXPECT_EQ(ProcesaEspacioAereo("R", "LED 71", "0,2,ROJO", dibujo, true),
            Lines{"NuevoPoligono('Restringida<br>','LED 71','#FF0000',"
                  "[[ -0.5,38.1],[ -0.4,38.2],[ -0.4,38.1]]);"});
}

TEST(AirspaceDrawing, PiecesLabelsAndPrefixes) {
  struct Case {
    const char* what;
    std::string carea, nombre, sp;
    Lines dibujo;
    bool lnuevo;
    Lines expected;
  };
  const std::vector<Case> cases = {
      {"an arc splits the outline", "D", "TMA", "0,2,VERDE",
       {"DP 1,2", "DP 3,4", "DA 5,270,90", "DP 5,6", "DP 7,8"}, true,
       {"NuevoPoligono('Clase D<br>','TMA','#00FF00',[[ 1,2],[ 3,4]]);",
        "NuevoPoligono('Clase D<br>','TMA','#00FF00',[[ 5,6],[ 7,8]]);"}},
      {"arcs only", "R", "Arco", "", {"V X=40:22:00 N 003:47:00 W", "DA 5,270,90"}, true, {}},
      {"no drawing lines", "R", "Vacio", "", {}, true, {}},
      {"a single point", "Q", "Punto", "", {"DP 1,2"}, true,
       {"NuevoPoligono('Peligrosa<br>','Punto','#FF0000',[[ 1,2]]);"}},
      {"leading and trailing lines", "P", "Z", "", {"DA 1", "DP 1,2", "DB 3", "DC 4"}, true,
       {"NuevoPoligono('Prohibida<br>','Z','#FF0000',[[ 1,2]]);"}},
      {"selection window prefix", "R", "LED 71", "", {"DP 1,2", "DP 3,4"}, false,
       {"AgregarPoligono('Restringida<br>','LED 71','#FF0000',[[ 1,2],[ 3,4]]);"}},
      {"airway label", "AWY", "UN10", "0,2,GRIS", {"DP 1,2"}, true,
       {"NuevoPoligono('Aerovías<br>','UN10','#808080',[[ 1,2]]);"}},
      {"unlisted class", "W", "Onda", "", {"DP 1,2"}, true,
       {"NuevoPoligono('<br>','Onda','#FF0000',[[ 1,2]]);"}},
      {"empty class", "", "Sin clase", "", {"DP 1,2"}, true,
       {"NuevoPoligono('<br>','Sin clase','#FF0000',[[ 1,2]]);"}},
      {"name with a quote", "R", "O'Neill", "", {"DP 1,2"}, true,
       {"NuevoPoligono('Restringida<br>','O\\'Neill','#FF0000',[[ 1,2]]);"}},
      {"name with a backslash and a closing script tag", "R", "A\\B</script>", "", {"DP 1,2"},
       true, {"NuevoPoligono('Restringida<br>','A\\\\B<\\/script>','#FF0000',[[ 1,2]]);"}},
      {"point text verbatim", "R", "V", "",
       {"DP-3.5,40.4", "DP  +3 , .5", "DP 10.,-0"}, true,
       {"NuevoPoligono('Restringida<br>','V','#FF0000',[[-3.5,40.4],[  +3 , .5],[ 10.,-0]]);"}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ProcesaEspacioAereo(c.carea, c.nombre, c.sp, c.dibujo, c.lnuevo), c.expected)
        << c.what;
  }
}

TEST(AirspaceDrawing, PenColours) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"", "#FF0000"},          {"0,2,VERDE", "#00FF00"},   {"VERDE", "#00FF00"},
      {"0,2,verde", "#0000FF"}, {"0,2,MORADO", "#0000FF"},  {"0,2, VERDE \t", "#00FF00"},
      {"0,2,ORO VIEJO", "#BBBB20"}, {"5,VIOLETA", "#800080"}, {"0,2,3,VERDE", "#0000FF"},
      {"0,2,", "#0000FF"},      {"   ", "#0000FF"},
  };
  for (const auto& [sp, colour] : cases) {
    EXPECT_EQ(color_espacio(sp), colour) << sp;
    const Lines statements = ProcesaEspacioAereo("R", "N", sp, {"DP 1,2"}, true);
    ASSERT_EQ(statements.size(), 1u);
    EXPECT_NE(statements[0].find("'" + colour + "'"), std::string::npos) << sp;
  }
}

TEST(AirspaceDrawing, LongOutlinesAreDrawn) {
  // Far beyond what a 16-bit line counter could hold.
  Lines dibujo(40000, "DP -3.7,40.4");
  dibujo.insert(dibujo.begin(), 33000, "DA 1,2,3");
  const Lines statements = ProcesaEspacioAereo("R", "Larga", "", dibujo, true);
  ASSERT_EQ(statements.size(), 1u);
  std::size_t points = 0;
  for (std::size_t at = statements[0].find("[ -3.7,40.4]"); at != std::string::npos;
       at = statements[0].find("[ -3.7,40.4]", at + 1)) {
    ++points;
  }
  EXPECT_EQ(points, 40000u);
  EXPECT_TRUE(statements[0].ends_with("[ -3.7,40.4]]);"));
}

TEST(AirspaceDrawing, MalformedPointsNeverReachAStatement) {
  const Lines bad = {
      "DP -3.5,40.x",     "DP ');alert(1);//", "DP -3.5 40.4",   "DP 1e,2",
      "DP [1,2]",         "DP 1,2,3",          "DP 1.2.3,4",     "DP",
      "DP ,",             "DP '1',2",          "DP 1,2]);x(",    "DP --1,2",
      "DP 1,2</script>",  "DP .,1",            "DP 0x10,2",      "DP 1,\"2\"",
      "DPX 1,2",          "DP 1;2",
  };
  for (const std::string& line : bad) {
    const Lines statements =
        ProcesaEspacioAereo("R", "N", "", {"DP 1,2", "DP 3,4", line, "DP 5,6"}, true);
    EXPECT_EQ(statements,
              (Lines{"NuevoPoligono('Restringida<br>','N','#FF0000',[[ 1,2],[ 3,4]]);",
                     "NuevoPoligono('Restringida<br>','N','#FF0000',[[ 5,6]]);"}))
        << line;
    EXPECT_FALSE(punto_valido(line.size() > 2 ? line.substr(2) : std::string())) << line;
  }
  EXPECT_TRUE(ProcesaEspacioAereo("R", "N", "", {"DP alert(1)"}, true).empty());
}

}  // namespace
}  // namespace tolvex
