#include "tablet/tablet_messages.h"

#include <gtest/gtest.h>

#include <limits>

#include "tablet/tablet_state.h"

namespace tolvex {
namespace {

TEST(TabletMessages, Sample) {
  struct Case { TabletSample s; const char* message; } cases[] = {
      {{40.4168, -3.7038, 275}, R"({"tipo":"muestra","lat":40.4168,"lng":-3.7038,"hdg":275})"},
      {{-33.5, 151, 0}, R"({"tipo":"muestra","lat":-33.5,"lng":151,"hdg":0})"},
      {{std::numeric_limits<double>::quiet_NaN(), 1, 1}, ""},
      {{1, std::numeric_limits<double>::infinity(), 1}, ""},
  };
  for (const Case& c : cases) EXPECT_EQ(sample_message(c.s), c.message);
}

TEST(TabletMessages, StateAndItsChanges) {
  const TabletState a{{"mapa", "1"}, {"ruta", "null"}};
  EXPECT_EQ(state_message(a), R"({"tipo":"estado","mapa":1,"ruta":null})");
  EXPECT_EQ(state_message({}), R"({"tipo":"estado"})");
  struct Case { TabletState before, after; std::optional<std::string> message; } cases[] = {
      {a, a, std::nullopt},
      {a, {{"mapa", "1"}, {"ruta", "[1]"}}, R"({"tipo":"estado","ruta":[1]})"},
      {a, {{"mapa", "2"}, {"ruta", "[1]"}}, R"({"tipo":"estado","mapa":2,"ruta":[1]})"},
      {{}, a, state_message(a)},
      {a, {{"mapa", "1"}, {"ruta", "null"}, {"vfr", "[]"}}, R"({"tipo":"estado","vfr":[]})"},
  };
  for (const Case& c : cases) EXPECT_EQ(state_change_message(c.before, c.after), c.message);
}

TEST(TabletState, Sections) {
  const LineStyle style{3, 0, "0.5"};
  const LineStyle odd{4, 99, "mucho"};
  TAirSpace r{"R", "LED \"71\"</script>", "", "", "0,2,VERDE",
              {"DP -0.5,38.1", "DP -0.4,38.2", "DA 10,20,30", "DP -0.4,38.1", "DP x,38", "DP 1e-1,+2"}, true, false};
  TAirSpace hidden{"D", "Oculta", "", "", "", {"DP 1,2", "DP 3,4"}, false, false};
  TAirSpace arcs{"CTR", "Arcos", "", "", "", {"DA 1,2,3"}, true, false};
  TAirSpace standard{"C", "TMA", "", "", "", {"DC 5"}, true, false};
  standard.contorno = {{43.5, -79.25}, {43.6000001, -79.3}, {43.5, -79.25}};
  standard.color_pluma = "#123456";
  standard.grosor = 3;
  struct Case { std::string section, expected; } cases[] = {
      {map_section(2, true, true), R"({"tipo":"HYBRID","seguir":true,"suave":true})"},
      {map_section(9, false, false), R"({"tipo":"ROADMAP","seguir":false,"suave":false})"},
      {aircraft_section(std::nullopt, false), R"({"datos":false})"},
      {aircraft_section(TabletSample{40.5, -3.25, 90}, true), R"({"datos":true,"lat":40.5,"lng":-3.25,"hdg":90})"},
      {route_section(false, "-3.7, 40.4\n", style), "null"},
      {route_section(true, "  \n", style), "null"},
      {route_section(true, "-3.7, 40.4\nnada\r\n-3.6, +40.5", style),
       R"({"puntos":[[40.4,-3.7],[40.5,-3.6]],"color":"#FFFF00","ancho":3,"opacidad":0.5})"},
      {route_section(true, "-3.7, 40.4", odd),
       R"({"puntos":[[40.4,-3.7]],"color":"#000000","ancho":4,"opacidad":1})"},
      {dynamic_route_section(std::nullopt, style), "null"},
      {dynamic_route_section(std::make_pair(40.0, -4.0), style),
       R"({"lat":40,"lng":-4,"color":"#FFFF00","ancho":3,"opacidad":0.5})"},
      {airspaces_section({r, hidden, arcs}, false), "[]"},
      {airspaces_section({r, hidden, arcs}, true),
       R"([{"nombre":"LED \"71\"<\/script>","etiqueta":"Restringida","color":"#00FF00","grosor":2,)"
       R"("trozos":[[[-0.5,38.1],[-0.4,38.2]],[[-0.4,38.1]],[[0.1,2]]]}])"},
      {airspaces_section({standard}, true),
       R"([{"nombre":"TMA","etiqueta":"Clase C","color":"#123456","grosor":3,)"
       R"("trozos":[[[-79.25,43.5],[-79.3,43.6],[-79.25,43.5]]]}])"},
      {vfr_section("Uno|40,5|-3,25\nmal|x|1\n\"Dos\"|41|-3\n", true),
       R"([{"nombre":"Uno","lat":40.5,"lng":-3.25,"zoom":1},{"nombre":"\"Dos\"","lat":41,"lng":-3,"zoom":6}])"},
      {vfr_section("Uno|40,5|-3,25\n", false), "[]"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.section, c.expected);
}

}  // namespace
}  // namespace tolvex
