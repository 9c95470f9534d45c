#include "map/map_page_builder.h"
#include "map/page_files.h"
#include "map/script_escape.h"

#include <gtest/gtest.h>

#include <optional>

#include "map/comma_locale.h"
#include "map/script_literal.h"
#include "pages/embedded_pages.h"

namespace tolvex {
namespace {

std::size_t count(std::string_view text, std::string_view what) {
  std::size_t n = 0;
  for (auto pos = text.find(what); pos != std::string_view::npos; pos = text.find(what, pos + what.size())) ++n;
  return n;
}

MapSettings osm_settings() {
  MapSettings m;
  m.proveedor = "osm";
  m.teselas_normal = "https://tile.openstreetmap.org/{z}/{x}/{y}.png";
  m.teselas_satelite = "https://sat.example/{z}/{y}/{x}";
  m.teselas_hibrido = "https://labels.example/{z}/{x}/{y}.png";
  m.teselas_relieve = "https://topo.example/{z}/{x}/{y}.png";
  m.skyvector = "skyvector.com";
  m.marca_naranja = "mm_20_orange.png";
  m.marca_azul = "mm_20_blue.png";
  m.marca_roja = "mm_20_red.png";
  return m;
}

MapSettings google_settings() {
  MapSettings m = osm_settings();
  m.proveedor = "google";
  m.clave = "AIzaTEST";
  m.google_js = "https://maps.googleapis.com/maps/api/js?v=3&sensor=false&libraries=geometry";
  return m;
}

MapPageInputs sample_inputs(bool chart, const MapSettings& maps) {
  MapPageInputs in;
  in.MapaSK = chart;
  in.latitud = 40.41678;
  in.longitud = -3.70379;
  in.heading = 275;
  in.ZoomSK = 5;
  in.tipogooglemap = 3;
  in.mapsize = 1;
  in.puntos_vfr = "gmarkers.push(createMarker(new google.maps.LatLng(40.5,-3.6),'TORRE'));\r\n";
  in.maps = maps;
  return in;
}

TEST(MapPageBuilder, CoordinatesHaveFourDecimalsAndAPoint) {
  struct Case { double lat, lon; const char* lt; const char* lg; };
  const Case cases[] = {
      {40.41678, -3.70379, "40.4168", "-3.7038"},
      {0.00004, -0.00006, "0.0000", "-0.0001"},
      {-33.86786, 151.20732, "-33.8679", "151.2073"},
      {-33.86785, 0.00025, "-33.8678", "0.0003"},  // -33.86785 is held as -33.8678499999...
      {0.00005, -0.00004, "0.0001", "0.0000"},
      {89.99999, -179.99995, "90.0000", "-180.0000"},
  };
  test::CommaLocale comma;  // the machine's decimal comma must not reach the page
  if (!comma.active()) ADD_FAILURE() << "no locale with a decimal comma could be set up; only '.' checked";
  for (const Case& c : cases) {
    MapPageInputs in;
    in.latitud = c.lat;
    in.longitud = c.lon;
    EXPECT_EQ(build_map_page(in, "[##LT##|##LG##]"), std::string("[") + c.lt + "|" + c.lg + "]") << c.lat;
  }
  MapPageInputs in = sample_inputs(false, osm_settings());
  const std::string page = build_map_page(in);
  EXPECT_EQ(count(page, "LatLng(40.4168, -3.7038)"), 2u);
}

TEST(MapPageBuilder, EveryPlaceholderIsReplacedInBothTemplatesAndProviders) {
  ASSERT_FALSE(embedded_page("main_page.html").empty());
  ASSERT_FALSE(embedded_page("chart_page.html").empty());
  for (bool chart : {false, true}) {
    for (const MapSettings& maps : {osm_settings(), google_settings()}) {
      for (int mode = 0; mode <= 3; ++mode) {
        MapPageInputs in = sample_inputs(chart, maps);
        in.mapsize = mode;
        const std::string page = build_map_page(in);
        EXPECT_EQ(page.find("##"), std::string::npos) << "chart " << chart << " " << maps.proveedor << " mode " << mode;
        EXPECT_EQ(page.find("quillon") != std::string::npos, chart);
      }
    }
  }
}

TEST(MapPageBuilder, MainPageValues) {
  const std::string page = build_map_page(sample_inputs(false, osm_settings()));
  EXPECT_NE(page.find("zoom: 9,"), std::string::npos);  // ZoomGL, not ZoomSK
  EXPECT_NE(page.find("google.maps.MapTypeId.SATELLITE,"), std::string::npos);
  EXPECT_NE(page.find("'TORRE'"), std::string::npos);
  EXPECT_NE(page.find("\"AvionSHW.png\""), std::string::npos);
  EXPECT_NE(page.find("var heading = 275;"), std::string::npos);
  EXPECT_NE(page.find("MarkerImage('mm_20_blue.png'"), std::string::npos);
  EXPECT_NE(page.find("strokeColor: \"#000000\", \r\nstrokeOpacity: 1, \r\nstrokeWeight: 4, \r\n"), std::string::npos);
}

TEST(MapPageBuilder, ChartPageValues) {
  const std::string page = build_map_page(sample_inputs(true, osm_settings()));
  EXPECT_NE(page.find("style=\"width: 690px; height: 390px;\""), std::string::npos);
  EXPECT_NE(page.find("src=\"https://skyvector.com/perl/ad1?lat=40.4168&amp;lon=-3.7038&amp;s=5&amp;c=quillon"),
            std::string::npos);
  EXPECT_NE(page.find("src=\"https://skyvector.com/linkchart.js\""), std::string::npos);
}

TEST(MapPageBuilder, SizeStylesByMode) {
  const char* styles[] = {"width: 360px; height: 200px;", "width: 690px; height: 390px;",
                          "width: 870px; height: 500px;", ""};
  for (int mode = 0; mode <= 3; ++mode) {
    MapPageInputs in;
    in.MapaSK = true;
    in.mapsize = mode;
    EXPECT_EQ(build_map_page(in, "style=\"##LTSKYVECTOR##\""), std::string("style=\"") + styles[mode] + "\"");
  }
  MapPageInputs main_page;  // the main page never fills the chart division
  EXPECT_EQ(build_map_page(main_page, "##LTSKYVECTOR##"), "##LTSKYVECTOR##");
}

TEST(MapPageBuilder, MapTypeNamesAndZoom) {
  const char* names[] = {"ROADMAP", "HYBRID", "SATELLITE", "TERRAIN"};
  for (int t = 1; t <= 4; ++t) {
    MapPageInputs in;
    in.tipogooglemap = t;
    EXPECT_EQ(build_map_page(in, "MapTypeId.##TMP##,"), std::string("MapTypeId.") + names[t - 1] + ",");
  }
  MapPageInputs in;
  in.ZoomSK = 7;
  EXPECT_EQ(build_map_page(in, "##ZM##"), "9");
  in.MapaSK = true;
  EXPECT_EQ(build_map_page(in, "##ZM##"), "7");
}

TEST(MapPageBuilder, DynamicRouteStroke) {
  struct Case { int colour, width; const char* opacity; const char* expected; };
  const Case cases[] = {
      {10, 4, "1", "strokeColor: \"#000000\", \r\nstrokeOpacity: 1, \r\nstrokeWeight: 4, \r\n"},
      {12, 2, "0.5", "strokeColor: \"#FF0000\", \r\nstrokeOpacity: 0.5, \r\nstrokeWeight: 2, \r\n"},
      {17, 3, "0.1", "strokeColor: \"\", \r\nstrokeOpacity: 0.1, \r\nstrokeWeight: 3, \r\n"},
      {10, 4, "0,5", "strokeColor: \"#000000\", \r\nstrokeOpacity: 1, \r\nstrokeWeight: 4, \r\n"},
      {10, 4, "1});alert(1);({a:1", "strokeColor: \"#000000\", \r\nstrokeOpacity: 1, \r\nstrokeWeight: 4, \r\n"},
      {10, 4, "", "strokeColor: \"#000000\", \r\nstrokeOpacity: 1, \r\nstrokeWeight: 4, \r\n"},
  };
  for (const Case& c : cases) {
    MapPageInputs in;
    in.rutadin_color = c.colour;
    in.rutadin_ancho = c.width;
    in.rutadin_trans = c.opacity;
    EXPECT_EQ(build_map_page(in, "{##RUTADIN##}"), std::string("{") + c.expected + "}") << c.opacity;
  }
}

TEST(MapPageBuilder, LaterStepsReplaceInsertedText) {
  MapPageInputs in;
  // "##LT##" is replaced before the VFR text goes in, "##FICOSH##" and "##HDG##" after it.
  in.puntos_vfr = "a=##LT##; b=\"##FICOSH##\"; c=##HDG##;";
  in.heading = 90;
  EXPECT_EQ(build_map_page(in, "<##PUNTOSVFR##>"), "<a=##LT##; b=\"AvionSHW.png\"; c=90;>");
  // Provider text goes in first, so the documented placeholders still reach the template's
  // own occurrences around it.
  EXPECT_EQ(build_map_page(in, "##LT##,##MARCAROJA##,##LG##"), "0.0000,,0.0000");
}

TEST(MapPageBuilder, MapsApiTags) {
  MapSettings g = google_settings();
  EXPECT_EQ(maps_api_tags(g),
            "<script type=\"text/javascript\" src=\"https://maps.googleapis.com/maps/api/js?v=3&amp;sensor=false"
            "&amp;libraries=geometry&amp;key=AIzaTEST\"></script>");
  g.clave.clear();
  EXPECT_EQ(count(maps_api_tags(g), "key="), 0u);
  g.clave = "a b&c=d/é";
  g.google_js = "https://maps.example/js";
  EXPECT_EQ(maps_api_tags(g),
            "<script type=\"text/javascript\" src=\"https://maps.example/js?key=a%20b%26c%3Dd%2F%C3%A9\"></script>");

  const std::string osm = maps_api_tags(osm_settings());
  EXPECT_EQ(osm,
            "<link rel=\"stylesheet\" href=\"leaflet/leaflet.css\"/>\r\n"
            "<script type=\"text/javascript\">window.TOLVEX_MAPS = {tiles:{"
            "roadmap:\"https://tile.openstreetmap.org/{z}/{x}/{y}.png\",satellite:\"https://sat.example/{z}/{y}/{x}\","
            "hybrid:\"https://labels.example/{z}/{x}/{y}.png\",terrain:\"https://topo.example/{z}/{x}/{y}.png\"}};"
            "</script>\r\n"
            "<script type=\"text/javascript\" src=\"leaflet/leaflet.js\"></script>\r\n"
            "<script type=\"text/javascript\" src=\"tolvex_maps.js\"></script>");
}

// Hostile settings must leave the page's structure exactly as benign ones do.
TEST(MapPageBuilder, ConfiguredTextCannotBreakThePage) {
  const std::string evil = "x'\"></script><script>alert(1)</script><!--\r\n\xE2\x80\xA8##RUTADIN##]]>";
  for (bool chart : {false, true}) {
    for (bool google : {false, true}) {
      MapSettings maps = google ? google_settings() : osm_settings();
      const std::string benign = build_map_page(sample_inputs(chart, maps));
      maps.clave = evil;
      maps.google_js = "https://maps.example/js?" + evil;
      maps.teselas_normal = maps.teselas_satelite = maps.teselas_hibrido = maps.teselas_relieve = evil;
      maps.skyvector = evil;
      maps.marca_naranja = maps.marca_azul = maps.marca_roja = evil;
      const std::string page = build_map_page(sample_inputs(chart, maps));
      SCOPED_TRACE(testing::Message() << "chart " << chart << " google " << google);
      // Only these end a script element, a string literal or the page's CDATA, or insert the
      // stroke text again; "<script" inside a string literal is harmless.
      for (const char* tag : {"</", "<!--", "]]>", "\r", "\n", "strokeColor"})
        EXPECT_EQ(count(page, tag), count(benign, tag)) << tag;
      EXPECT_EQ(page.find("##"), std::string::npos);
    }
  }
  // And the values themselves arrive intact.
  MapSettings maps = osm_settings();
  maps.marca_roja = evil;
  maps.teselas_relieve = evil;
  const std::string page = build_map_page(sample_inputs(false, maps));
  const auto red = page.find("MarkerImage('", page.find("redicon =")) + 12;
  EXPECT_EQ(test::read_literal(test::literal_at(page, red)), evil);
  EXPECT_EQ(test::read_literal(test::literal_at(page, page.find("terrain:") + 8)), evil);
}

TEST(MapPageBuilder, LogLine) {
  EXPECT_EQ(map_page_log_line("C:\\Tolvex\\", 275), "Ruta:C:/Tolvex/ Head:275");
  EXPECT_EQ(map_page_log_line("/opt/tolvex/", 0), "Ruta:/opt/tolvex/ Head:0");
}

TEST(MapPageBuilder, ScriptHostIsWhereThePageWaitsFrom) {
  MapSettings google = google_settings();
  EXPECT_EQ(page_script_host(true, google), "skyvector.com");
  EXPECT_EQ(page_script_host(false, google), "maps.googleapis.com");
  google.google_js = "http://127.0.0.1:8123?v=3";
  EXPECT_EQ(page_script_host(false, google), "127.0.0.1:8123");
  EXPECT_EQ(page_script_host(false, osm_settings()), "");
}

TEST(MapPageBuilder, RemoteScriptsComeOverHttpsOnly) {
  // GOOGLEJS as written -> the address the page loads; the chart host -> its scripts' origin.
  const std::vector<std::pair<std::string, std::string>> google = {
      {"http://maps.googleapis.com/maps/api/js?v=3", "https://maps.googleapis.com/maps/api/js?v=3"},
      {"HTTP://maps.example/js", "https://maps.example/js"},
      {"//maps.example/js", "https://maps.example/js"},
      {"maps.example:8443/js", "https://maps.example:8443/js"},
      {"http://127.0.0.1:8123/js", "http://127.0.0.1:8123/js"},
      {"http://localhost/js", "http://localhost/js"},
      {"http://[::1]:80/js", "http://[::1]:80/js"},
      {"http://127.0.0.1.example.com/js", "https://127.0.0.1.example.com/js"},
      {"file:///etc/passwd", kDefaultGoogleScript},
      {"javascript:alert(1)", kDefaultGoogleScript},
      {"data:text/javascript,alert(1)", kDefaultGoogleScript},
      {"", kDefaultGoogleScript},
  };
  for (const auto& [given, loaded] : google) {
    MapSettings maps = google_settings();
    maps.clave.clear();
    maps.google_js = given;
    EXPECT_EQ(maps_api_tags(maps), "<script type=\"text/javascript\" src=\"" + html_attribute(loaded) + "\"></script>")
        << given;
  }
  for (const auto& [host, origin] : std::vector<std::pair<std::string, std::string>>{
           {"skyvector.com", "https://skyvector.com"},
           {"127.0.0.1:9000", "http://127.0.0.1:9000"},
           {"localhost", "http://localhost"},
           {"192.168.1.10", "https://192.168.1.10"}}) {
    MapPageInputs in = sample_inputs(true, osm_settings());
    in.maps.skyvector = host;
    EXPECT_EQ(build_map_page(in, "src=\"##SKYVECTOR##/linkchart.js\""), "src=\"" + origin + "/linkchart.js\"") << host;
  }
}

TEST(PageFiles, OnlyScriptsStylesAndPicturesOfTheFolderAreServed) {
  const std::vector<std::pair<std::string, std::optional<std::string>>> cases = {
      {"/tolvex_maps.js", "tolvex_maps.js"},
      {"/leaflet/leaflet.css", "leaflet/leaflet.css"},
      {"/leaflet/images/marker-icon.png", "leaflet/images/marker-icon.png"},
      {"/AvionNE.PNG", "AvionNE.PNG"},
      {"/CONFIG.INI", std::nullopt},
      {"/tolvex.log", std::nullopt},
      {"/airspaces.txt", std::nullopt},
      {"/tolvex", std::nullopt},
      {"/../CONFIG.INI", std::nullopt},
      {"/leaflet/../../x.js", std::nullopt},
      {"/./tolvex_maps.js", std::nullopt},
      {"/.hidden.js", std::nullopt},
      {"//etc/x.js", std::nullopt},
      {"/C:/x.js", std::nullopt},
      {"/a\\..\\x.js", std::nullopt},
      {"tolvex_maps.js", std::nullopt},
      {"/", std::nullopt},
      {"/a/b/c/d/e.js", std::nullopt},
  };
  for (const auto& [path, served] : cases) EXPECT_EQ(page_file_path(path), served) << path;
  EXPECT_EQ(page_file_type("leaflet.js"), "text/javascript");
  EXPECT_EQ(page_file_type("x.Png"), "image/png");
  EXPECT_EQ(page_address("page.html"), "tolvex://app/page.html");
}

}  // namespace
}  // namespace tolvex
