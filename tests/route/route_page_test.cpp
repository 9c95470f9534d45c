// The route page as the route editor builds it, in a real browser on the keyless provider, with
// local stand-ins for the elevation and address services.
#include <gtest/gtest.h>

#include <QUrl>

#include <optional>
#include <string>

#include "map/page_harness.h"
#include "map/view_statements.h"
#include "route/route_page_builder.h"
#include "support/fake_map_services.h"

namespace tolvex::test {
namespace {

class RoutePageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RoutePageInputs in;
    in.centro = "0.5,0.5";
    in.maps.proveedor = "osm";
    const std::string no_tiles = "http://127.0.0.1:9/{z}/{x}/{y}.png";
    in.maps.teselas_normal = in.maps.teselas_satelite = in.maps.teselas_hibrido = in.maps.teselas_relieve = no_tiles;
    in.maps.elevacion = services.elevation_template();
    in.maps.geocodificador = services.geocoder_template();
    page.emplace();
    ASSERT_TRUE(page->load(build_route_page(in), "pageruta.htm"));
    ASSERT_TRUE(page->wait_until("typeof polyShape === 'object' && typeof elevator === 'object'"));
  }

  void run(const std::string& statement) { page->bridge().run_statement(QString::fromStdString(statement)); }
  std::string field(const char* name) { return page->bridge().read_field(QString::fromLatin1(name)).toStdString(); }
  // The route text's points ("longitude, latitude" lines) appended as the route editor does.
  void add_route(const std::string& ruta) {
    for (const std::string& s : route_point_statements(ruta).statements) run(s);
  }

  FakeMapServices services;
  std::optional<PageHarness> page;
};

TEST_F(RoutePageTest, LegsVerticesAndSamplePoints) {
  // A square of one degree from the origin: east, north, west, south.
  add_route("0, 0\n1, 0\n1, 1\n0, 1\n0, 0\n");
  run("cargaDatos();");
  run("calcularRuta();");
  run("NumeroVertices();");
  EXPECT_EQ(field("PuntosRuta"), "0, 0\n1, 0\n1, 1\n0, 1\n0, 0\n");
  EXPECT_EQ(field("Longitud"), "60|90\n60|0\n60|270\n60|180\n");
  EXPECT_EQ(field("Listo"), "5 ");

  // Sample points for the profile: k = vertices x 2 - 3, appended after the vertices.
  struct Case {
    const char* ruta;
    int k;
    const char* expected;
  };
  const Case cases[] = {
      {"0, 0\n1, 0\n", 1, "0, 0\n1, 0\n"},  // points every whole route length: none before its end
      {"0, 0\n1, 0\n2, 0\n", 3, "0, 0\n1, 0\n2, 0\n0.666666,0\n1.333333,0\n"},
      {"0, 0\n", -1, "0, 0\n"},
  };
  for (const Case& c : cases) {
    run("clearRuta();");
    add_route(c.ruta);
    run("cargaDatos();");
    run("AddPT(" + std::to_string(c.k) + ");");
    // Sample coordinates are written in full; six decimals are enough to know them.
    const std::string got = page->eval("campo('PuntosRuta').value.replace(/(\\.\\d{6})\\d*/g, '$1')").toString().toStdString();
    EXPECT_EQ(got, c.expected) << c.ruta;
  }
  run("calcularRuta();");
  run("NumeroVertices();");
  EXPECT_EQ(field("Longitud"), "");
  EXPECT_EQ(field("Listo"), "1 ");
}

TEST_F(RoutePageTest, EndMarkersShowTheirLegAndFollowDeletions) {
  // Two clicks northwards: both markers show the leg's distance and course, and the total.
  for (int lat : {0, 1})
    run("google.maps.event.trigger(map, 'click', {latLng: new google.maps.LatLng(" + std::to_string(lat) + ", 0)});");
  const QString texts = QStringLiteral("Distancia: 60 nm.\nRumbo: 0\nTotal Ruta: 60 nm.");
  EXPECT_EQ(page->eval("pinicio.getTitle()").toString(), texts);
  EXPECT_EQ(page->eval("pfin.getTitle()").toString(), texts);

  run("deleteLastPoint();");
  EXPECT_TRUE(page->eval("polyShape.getPath().getLength() === 1 && pinicio.getMap() === map && !pfin.getMap()").toBool());
  EXPECT_EQ(page->eval("pinicio.getTitle()").toString(), "");
  run("deleteLastPoint();");
  run("deleteLastPoint();");  // on an empty route: nothing
  EXPECT_TRUE(page->eval("polyShape.getPath().getLength() === 0 && !pinicio.getMap()").toBool());

  // Three points, then the last removed: the end marker goes back to the second.
  add_route("0, 0\n0, 1\n0, 2\n");
  run("deleteLastPoint();");
  EXPECT_EQ(page->eval("[pfin.getPosition().lat(), pfin.getMap() === map]").toList(), (QVariantList{1, true}));
}

TEST_F(RoutePageTest, ElevationAnswersFailuresAndSilence) {
  services.set_elevation("20", FakeMapServices::Elevation::server_error);
  services.set_elevation("30", FakeMapServices::Elevation::silence);
  services.set_elevation("40", FakeMapServices::Elevation::late);

  run(dime_altura_statement("10", "-3.5"));
  EXPECT_EQ(field("Listo"), "0");
  ASSERT_TRUE(page->wait_until("campo('Listo').value !== '0'"));
  EXPECT_EQ(field("Listo"), "1");
  EXPECT_EQ(field("PuntosRuta"), "100|");

  run(dime_altura_statement("20", "-3.5"));
  ASSERT_TRUE(page->wait_until("campo('Listo').value !== '0'"));
  EXPECT_EQ(field("Listo"), "-1");
  EXPECT_EQ(field("PuntosRuta"), "");

  run(dime_altura_statement("30", "-3.5"));
  pump_events(1500);
  EXPECT_EQ(field("Listo"), "0");  // the host gives up after its own wait

  // A late answer for a point the host has given up on is not taken for the next point's.
  run(dime_altura_statement("40", "-3.5"));
  run(dime_altura_statement("20", "-3.5"));
  ASSERT_TRUE(page->wait_until("campo('Listo').value !== '0'"));
  pump_events(2500);
  EXPECT_EQ(field("Listo"), "-1");
  EXPECT_EQ(field("PuntosRuta"), "");
  EXPECT_EQ(services.requests.filter(QStringLiteral("latitude=40&")).size(), 1);
}

// The map centre within a pixel of the point (a centring moves the map by whole pixels).
QString near_centre(double lat, double lon) {
  return QStringLiteral("Math.abs(map.getCenter().lat() - %1) < 0.02 && Math.abs(map.getCenter().lng() - %2) < 0.02")
      .arg(lat)
      .arg(lon);
}

TEST_F(RoutePageTest, AddressesWithQuotesAreFoundAndAddedToTheRoute) {
  const QString address = QStringLiteral("Calle O'Donnell \"12\" \\ Madrid");
  services.add_place(address, 41.6488, -0.8891);
  run("window.alert = function (m) { window.avisos = (window.avisos || []).concat([m]); };");

  run(show_address_statement(address.toStdString(), true));
  ASSERT_TRUE(page->wait_until("polyShape.getPath().getLength() === 1"));
  EXPECT_EQ(page->eval("polyShape.getPath().getAt(0).toUrlValue(4)").toString(), "41.6488,-0.8891");
  EXPECT_TRUE(page->eval(near_centre(41.6488, -0.8891)).toBool());
  EXPECT_TRUE(services.requests.contains(QStringLiteral("/search?q=") + address));

  // Centring only, then an address nobody knows: the pilot is told, the route stays.
  run(show_address_statement("Madrid, Espa\xC3\xB1" "a", false));
  ASSERT_TRUE(page->wait_until(near_centre(40.4168, -3.7038)));
  run(show_address_statement("ningun sitio", true));
  ASSERT_TRUE(page->wait_until("window.avisos !== undefined"));
  EXPECT_EQ(page->eval("window.avisos.join('|')").toString(), "DIRECCION NO ENCONTRADA");
  EXPECT_EQ(page->eval("polyShape.getPath().getLength()").toInt(), 1);
}

}  // namespace
}  // namespace tolvex::test
