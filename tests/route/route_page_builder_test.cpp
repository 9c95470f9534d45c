#include "route/route_page_builder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pages/embedded_pages.h"

namespace tolvex {
namespace {

std::size_t count(const std::string& text, const std::string& what) {
  std::size_t n = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

TEST(RoutePageBuilder, TemplateIsCrLfAsciiWithEveryPlaceholderOnce) {
  const std::string page(embedded_page("route_page.html"));
  ASSERT_FALSE(page.empty());
  for (std::size_t i = 0; i < page.size(); ++i) {
    const auto c = static_cast<unsigned char>(page[i]);
    ASSERT_LT(c, 0x80u) << "non-ASCII byte at " << i;
    if (c == '\n') ASSERT_TRUE(i > 0 && page[i - 1] == '\r') << "bare line feed at " << i;
  }
  for (const char* placeholder : {"##MAPSAPI##", "##PUNTOSVFR##", "##POSIC##", "##ZOOM##", "##DATRUTA##", "##TMP##"})
    EXPECT_EQ(count(page, placeholder), 1u) << placeholder;
  for (const char* field : {"PuntosRuta", "Longitud", "Listo"})
    EXPECT_EQ(count(page, std::string("<input type=\"hidden\" name=\"") + field + "\""), 1u) << field;
  EXPECT_EQ(count(page, "<form name=\"f1\""), 1u);
}

TEST(RoutePageBuilder, FillsThePlaceholdersInOrder) {
  RoutePageInputs in;
  in.centro = "40.1,-3.25";
  in.tipomapa = 3;
  in.color = "ROJO";
  in.transparencia = "0.5";
  in.ancho = "6";
  in.puntos_vfr = "##ZOOM##";  // inserted first, so the later steps see it
  EXPECT_EQ(build_route_page(in, "##PUNTOSVFR##|##POSIC##|##ZOOM##|##DATRUTA##|##TMP##|##POSIC##"),
            "7|40.1,-3.25|7|strokeColor: \"#FF0000\", \r\nstrokeOpacity: 0.5, \r\n"
            "strokeWeight: 6, \r\n|SATELLITE|40.1,-3.25");
  EXPECT_EQ(route_line_style("NEGRO", "1", "4"), "strokeColor: \"#000000\", \r\nstrokeOpacity: 1, \r\nstrokeWeight: 4, \r\n");
  // The embedded template is the one used by default.
  EXPECT_NE(build_route_page(RoutePageInputs{}).find("center: new google.maps.LatLng(37.426015830209174,-4.844970703125)"),
            std::string::npos);
}

TEST(RoutePageBuilder, FieldsThatAreNotNumbersFallBackToTheirDefaults) {
  struct Case {
    const char* name;
    RoutePageInputs in;
    const char* expected;
  };
  auto with = [](auto change) {
    RoutePageInputs in;
    change(in);
    return in;
  };
  const std::vector<Case> cases = {
      {"centre", with([](RoutePageInputs& i) { i.centro = "40.1);alert(1);//,-3"; }), "37.426015830209174,-4.844970703125|"},
      {"centre without comma", with([](RoutePageInputs& i) { i.centro = "40.1"; }), "37.426015830209174,-4.844970703125|"},
      {"zoom", with([](RoutePageInputs& i) { i.zoom = "7,x:alert(1)"; }), "7|"},
      {"width", with([](RoutePageInputs& i) { i.ancho = "4, x: alert(1)"; }), "strokeWeight: 4, \r\n|"},
      {"opacity", with([](RoutePageInputs& i) { i.transparencia = "0,5"; }), "strokeOpacity: 1, \r\n"},
      {"colour", with([](RoutePageInputs& i) { i.color = "rojo"; }), "strokeColor: \"\", "},
      {"map type", with([](RoutePageInputs& i) { i.tipomapa = 9; }), "|ROADMAP"},
  };
  for (const Case& c : cases) {
    const std::string page = build_route_page(c.in, "##POSIC##|##ZOOM##|##DATRUTA##|##TMP##");
    EXPECT_NE(page.find(c.expected), std::string::npos) << c.name << ": " << page;
    EXPECT_EQ(page.find("alert"), std::string::npos) << c.name;
  }
}

TEST(RoutePageBuilder, StatementsCarryTheirTextsSafely) {
  EXPECT_EQ(show_address_statement("Calle O'Donnell \"12\" \\ 3", true),
            "showAddress('Calle O\\'Donnell \"12\" \\\\ 3',true);");
  EXPECT_EQ(show_address_statement("Madrid", false), "showAddress('Madrid',false);");
  EXPECT_EQ(dime_altura_statement("40.5", "-3.25"), "DimeAltura(40.5,-3.25)");
  EXPECT_EQ(dime_altura_statement("1e-7", "0"), "DimeAltura(1e-7,0)");
  for (const char* bad : {"40.5\r", "", "x", "40,5", "1);alert(1"}) EXPECT_EQ(dime_altura_statement(bad, "-3"), "") << bad;
}

}  // namespace
}  // namespace tolvex
