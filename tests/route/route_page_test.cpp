// The route page as the route editor builds it, in a real browser on the keyless provider, with
// local stand-ins for the elevation and address services.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QMouseEvent>
#include <QUrl>

#include <optional>
#include <string>

#include "map/page_harness.h"
#include "map/view_statements.h"
#include "overlays/vfr_points.h"
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

// Answers every message box that opens while it lives with its first button, noting caption,
// text and buttons: a page's alert holds the test inside the box's own event loop.
class BoxAnswerer {
 public:
  BoxAnswerer() {
    timer_.setInterval(20);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (!box || box->buttons().isEmpty()) return;
      QStringList parts{box->windowTitle(), box->text()};
      for (QAbstractButton* b : box->buttons()) parts << b->text();
      seen << parts.join(QLatin1Char('|'));
      box->buttons().front()->click();
    });
    timer_.start();
  }
  QStringList seen;

 private:
  QTimer timer_;
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
  BoxAnswerer boxes;

  run(show_address_statement(address.toStdString(), true));
  ASSERT_TRUE(page->wait_until("polyShape.getPath().getLength() === 1"));
  EXPECT_EQ(page->eval("polyShape.getPath().getAt(0).toUrlValue(4)").toString(), "41.6488,-0.8891");
  EXPECT_TRUE(page->eval(near_centre(41.6488, -0.8891)).toBool());
  EXPECT_TRUE(services.requests.contains(QStringLiteral("/search?q=") + address));

  // Centring only, then an address nobody knows: the pilot is told in a box of ours, the route
  // stays; then a service that cannot answer, which is not an address that does not exist.
  run(show_address_statement("Madrid, Espa\xC3\xB1" "a", false));
  ASSERT_TRUE(page->wait_until(near_centre(40.4168, -3.7038)));
  run(show_address_statement("ningun sitio", true));
  pump_events(200);
  services.fail_searches();
  run(show_address_statement("Madrid, Espa\xC3\xB1" "a", true));
  for (int i = 0; i < 100 && boxes.seen.size() < 2; ++i) pump_events(50);
  EXPECT_EQ(boxes.seen,
            (QStringList{QStringLiteral("Tolvex - Información|DIRECCION NO ENCONTRADA|Aceptar"),
                         QStringLiteral("Tolvex - Información|No se ha podido consultar el servicio de búsqueda de "
                                        "direcciones (UNKNOWN_ERROR). Compruebe la conexión a Internet e inténtelo de "
                                        "nuevo.|Aceptar")}));
  EXPECT_EQ(page->eval("polyShape.getPath().getLength()").toInt(), 1);
  // Whatever a page's script says is cut as outside text is.
  run("alert(new Array(5001).join('x'));");
  for (int i = 0; i < 100 && boxes.seen.size() < 3; ++i) pump_events(50);
  ASSERT_EQ(boxes.seen.size(), 3);
  EXPECT_EQ(boxes.seen[2].size(), QStringLiteral("Tolvex - Información||Aceptar").size() + 401);
}

// A click as the window system delivers it, at a point of the page (CSS pixels = widget pixels).
void real_click(QWebEngineView& view, QPointF at) {
  QWidget* surface = view.focusProxy() ? view.focusProxy() : &view;
  static ulong stamp = 100000;
  stamp += 5000;  // never taken for a double click with the one before
  QMouseEvent press(QEvent::MouseButtonPress, at, surface->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  press.setTimestamp(stamp);
  QCoreApplication::sendEvent(surface, &press);
  QMouseEvent release(QEvent::MouseButtonRelease, at, surface->mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                      Qt::NoModifier);
  release.setTimestamp(stamp + 30);
  QCoreApplication::sendEvent(surface, &release);
}

// A click on a reporting point, on its pin or its label, adds that very point to the route, and
// the route's end markers are drawn above the labels.
TEST(RoutePageVfr, AClickOnAReportingPointAddsItAndTheEndsStayOnTop) {
  RoutePageInputs in;
  in.centro = "40.4,-3.7";
  in.zoom = "12";
  in.maps.proveedor = "osm";
  const std::string no_tiles = "http://127.0.0.1:9/{z}/{x}/{y}.png";
  in.maps.teselas_normal = in.maps.teselas_satelite = in.maps.teselas_hibrido = in.maps.teselas_relieve = no_tiles;
  in.maps.marca_naranja = "mm_20_orange.png";
  in.puntos_vfr = build_vfr_statements("Torre de control|40.41|-3.69\r\nCasa|40.38|-3.73\r\n");
  PageHarness page;
  ASSERT_TRUE(page.load(build_route_page(in), "pageruta.htm"));
  ASSERT_TRUE(page.wait_until("typeof polyShape === 'object' && mgr.getMarkerCount(19) === 2"));
  page.bridge().run_statement("MostrarVFR();");
  ASSERT_TRUE(page.wait_until("gmarkers[0].getMap() === map && gmarkers[0].label.div.offsetWidth > 0"));
  auto centre = [&](const QString& element) {
    const QVariantList r = page.eval(QStringLiteral("(function (e) { var r = e.getBoundingClientRect();"
                                                    " return [(r.left + r.right) / 2, (r.top + r.bottom) / 2]; })(%1)")
                                         .arg(element))
                               .toList();
    return r.size() == 2 ? QPointF(r[0].toDouble(), r[1].toDouble()) : QPointF();
  };
  const char* last = "(function () { var p = polyShape.getPath(); var q = p.getAt(p.getLength() - 1);"
                     " return [p.getLength(), q.lat(), q.lng()]; })()";
  int expected = 0;
  for (const char* element : {"gmarkers[0].label.div", "gmarkers[0].__el"}) {
    SCOPED_TRACE(element);
    real_click(page.view(), centre(QString::fromLatin1(element)));
    ++expected;
    ASSERT_TRUE(page.wait_until(QStringLiteral("polyShape.getPath().getLength() === %1").arg(expected), 3000));
    const QVariantList point = page.eval(QString::fromLatin1(last)).toList();
    EXPECT_NEAR(point[1].toDouble(), 40.41, 1e-9);
    EXPECT_NEAR(point[2].toDouble(), -3.69, 1e-9);
  }
  // The route's end now sits on the reporting point: it covers the pin and label, not the other
  // way round.
  const QPointF at = centre(QStringLiteral("pfin.__el"));
  EXPECT_TRUE(page.eval(QStringLiteral("(function () { var e = document.elementFromPoint(%1, %2);"
                                       " return e === pfin.__el || pfin.__el.contains(e); })()")
                            .arg(at.x())
                            .arg(at.y()))
                  .toBool());
}

// A point no map can place is refused before it reaches the path; a marker that cannot be made
// takes its point back off. Either way clearRuta finds the path and its markers in step.
TEST_F(RoutePageTest, PathAndEndMarkersStayInStep) {
  const char* path_length = "polyShape.getPath().getLength()";
  run("AgregarPunto(40.4,-3.7)");
  for (const char* bad : {"AgregarPunto(40.5,1e999)", "AgregarPunto(1e999,40.5)", "AgregarPunto(90.5,-3.7)",
                          "AgregarPunto(40.5,-180.5)", "AgregarPunto(NaN,1)"})
    run(bad);
  EXPECT_EQ(page->eval(path_length).toInt(), 1);

  run("var marcador = google.maps.Marker; google.maps.Marker = function () { throw new Error('sin marcador'); };");
  run("AgregarPunto(40.5,-3.6)");
  run("google.maps.Marker = marcador;");
  EXPECT_EQ(page->eval(path_length).toInt(), 1);

  run("clearRuta();");
  EXPECT_TRUE(page->eval("polyShape.getPath().getLength() === 0 && !pinicio.getMap()").toBool());
  add_route("-3.7, 40.4\n-3.6, 40.5\n");
  EXPECT_TRUE(page->eval("polyShape.getPath().getLength() === 2 && pinicio.getMap() === map && pfin.getMap() === map")
                  .toBool());
  run("clearRuta();");
  EXPECT_TRUE(page->eval("polyShape.getPath().getLength() === 0 && !pinicio.getMap() && !pfin.getMap()").toBool());
}

}  // namespace
}  // namespace tolvex::test
