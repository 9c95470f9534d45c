#include "map/view_statements.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "map/comma_locale.h"

namespace tolvex {
namespace {

TEST(ViewStatements, MueveAvion) {
  struct Case { double lat, lon; int hdg; bool follow; const char* expected; };
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const Case cases[] = {
      {40.4168, -3.7038, 275, true, "MueveAvion(40.4168,-3.7038,275,1);"},
      {40.41678, -3.70379, 0, false, "MueveAvion(40.41678,-3.70379,0,0);"},
      {0.1 + 0.2, -0.5, 360, true, "MueveAvion(0.3,-0.5,360,1);"},
      {28, -16, 90, false, "MueveAvion(28,-16,90,0);"},
      {nan, -3.7, 90, true, ""},
      {40.4, std::numeric_limits<double>::infinity(), 90, true, ""},
  };
  test::CommaLocale comma;
  if (!comma.active()) ADD_FAILURE() << "no locale with a decimal comma could be set up; only '.' checked";
  for (const Case& c : cases) EXPECT_EQ(mueve_avion_statement(c.lat, c.lon, c.hdg, c.follow), c.expected);
}

TEST(ViewStatements, FixedStatements) {
  EXPECT_EQ(map_type_statement(1), "map.setMapTypeId(google.maps.MapTypeId.ROADMAP);");
  EXPECT_EQ(map_type_statement(2), "map.setMapTypeId(google.maps.MapTypeId.HYBRID);");
  EXPECT_EQ(map_type_statement(3), "map.setMapTypeId(google.maps.MapTypeId.SATELLITE);");
  EXPECT_EQ(map_type_statement(4), "map.setMapTypeId(google.maps.MapTypeId.TERRAIN);");
  EXPECT_EQ(map_type_statement(0), "");
  EXPECT_EQ(map_type_statement(5), "");
  EXPECT_EQ(mostrar_vfr_statement, "MostrarVFR(); ");
  EXPECT_EQ(ocultar_vfr_statement, "OcultarVFR();");
  EXPECT_EQ(clear_ruta_statement, "clearRuta();");
}

TEST(ViewStatements, ZoomKeptInThePageAddress) {
  const std::vector<std::pair<std::string, std::optional<std::int32_t>>> cases = {
      {"zoom=12", 12}, {"zoom=1", 1}, {"zoom=21", 21}, {"zoom=0", std::nullopt}, {"zoom=22", std::nullopt},
      {"zoom=", std::nullopt}, {"zoom=1x", std::nullopt}, {"zoom=-3", std::nullopt}, {"", std::nullopt},
      {"x=12", std::nullopt}, {"zoom=123", std::nullopt}};
  for (const auto& [fragment, zoom] : cases) EXPECT_EQ(zoom_in_fragment(fragment), zoom) << fragment;
}

TEST(ViewStatements, RoutePoints) {
  struct Case {
    const char* route;
    std::vector<std::string> statements;
    std::vector<int> skipped;
  };
  const Case cases[] = {
      {"-3.7038, 40.4168\n-3.5, 40.2\n-3.1, 40\n",
       {"AgregarPunto( 40.4168,-3.7038)", "AgregarPunto( 40.2,-3.5)", "AgregarPunto( 40,-3.1)"}, {}},
      {"-3.7, 40.4\n-3.5, 40.2", {"AgregarPunto( 40.4,-3.7)", "AgregarPunto( 40.2,-3.5)"}, {}},  // last line without LF
      {"-3.7,40.4\r\n-3.5, 40.2\r\n", {"AgregarPunto(40.4,-3.7)", "AgregarPunto( 40.2,-3.5)"}, {}},
      {"", {}, {}},
      {"\n\n", {}, {}},
      {"-3.7, 40.4\nabc, def\n-3.6, 40.3);alert(1);//\nsin coma\n-3.5, 40.2, 7\n\n-3.4,40.1\n",
       {"AgregarPunto( 40.4,-3.7)", "AgregarPunto(40.1,-3.4)"}, {2, 3, 4, 5}},
      {"-3,7, 40,4\n", {}, {1}},
      {", 40.4\n-3.7,\n", {}, {1, 2}},
  };
  for (const Case& c : cases) {
    const RoutePointStatements r = route_point_statements(c.route);
    EXPECT_EQ(r.statements, c.statements) << c.route;
    EXPECT_EQ(r.skipped_lines, c.skipped) << c.route;
  }
}

TEST(ViewStatements, CambiarLinea) {
  struct Case { int width, colour; const char* opacity; const char* expected; };
  const Case cases[] = {
      {4, 10, "1", "cambiarLinea(4,'#000000',1);"},
      {2, 12, "0.5", "cambiarLinea(2,'#FF0000',0.5);"},
      {6, 11, " 0.3", "cambiarLinea(6,'#BBBB20', 0.3);"},
      {4, 17, "1", "cambiarLinea(4,'',1);"},
      {4, -1, "1", "cambiarLinea(4,'',1);"},
      {4, 10, "0,5", "cambiarLinea(4,'#000000',1);"},
      {4, 10, "1);alert(document.cookie", "cambiarLinea(4,'#000000',1);"},
      {4, 10, "", "cambiarLinea(4,'#000000',1);"},
  };
  for (const Case& c : cases) EXPECT_EQ(cambiar_linea_statement(c.width, c.colour, c.opacity), c.expected) << c.opacity;
}

TEST(ViewStatements, RouteEmptinessAndChartZoom) {
  EXPECT_TRUE(route_is_empty(""));
  EXPECT_TRUE(route_is_empty(" \r\n\t\n"));
  EXPECT_FALSE(route_is_empty("\n-3.7, 40.4\n"));

  struct Zoom { std::int32_t from, in, out; };
  const Zoom zooms[] = {{3, 4, 2}, {2, 3, 1}, {1, 2, 1}, {0, 1, 0}, {std::numeric_limits<std::int32_t>::max(),
                                                                      std::numeric_limits<std::int32_t>::max(),
                                                                      std::numeric_limits<std::int32_t>::max() - 1}};
  for (const Zoom& z : zooms) {
    EXPECT_EQ(chart_zoom_in(z.from), z.in) << z.from;
    EXPECT_EQ(chart_zoom_out(z.from), z.out) << z.from;
  }
}

}  // namespace
}  // namespace tolvex
