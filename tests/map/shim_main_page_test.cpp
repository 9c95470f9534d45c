// The moving map page as the program builds it, running on our map provider: the page's own
// functions must work on it as they do on the real API.
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineView>

#include "map/map_page_builder.h"
#include "map/shim_fixture.h"

namespace tolvex::test {
namespace {

class ShimMainPageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    MapPageInputs in;
    in.latitud = 40.4;
    in.longitud = -3.7;
    in.heading = 90;
    in.ZoomGL = 9;
    in.tipogooglemap = 1;
    in.puntos_vfr =
        "gmarkers.push(createMarker(new google.maps.LatLng(40.45,-3.65),'PTO1'));\r\n"
        "gmarkers.push(createMarker(new google.maps.LatLng(40.35,-3.75),'PTO2'));\r\n";
    in.maps.proveedor = "osm";
    const std::string tiles = "tolvex://app/nonexistent-tiles/";
    in.maps.teselas_normal = tiles + "roadmap/{z}/{x}/{y}.png";
    in.maps.teselas_satelite = tiles + "satellite/{z}/{x}/{y}.png";
    in.maps.teselas_hibrido = tiles + "hybrid/{z}/{x}/{y}.png";
    in.maps.teselas_relieve = tiles + "terrain/{z}/{x}/{y}.png";
    in.maps.marca_naranja = "mm_20_orange.png";
    in.maps.marca_azul = "mm_20_blue.png";
    in.maps.marca_roja = "mm_20_red.png";
    const std::string html = build_map_page(in);

    view_.setPage(page_);
    view_.resize(800, 600);
    view_.show();
    ASSERT_TRUE(load_and_wait(page_, "page.html", html, folder_.qpath()));
    ASSERT_TRUE(wait_until("typeof marcador === 'object' && typeof polyShape === 'object'"));
  }
  void TearDown() override {
    QStringList uncaught;
    for (const QString& e : page_->errors)
      if (e.contains(QStringLiteral("Uncaught"))) uncaught << e;
    EXPECT_TRUE(uncaught.isEmpty()) << uncaught.join(QLatin1Char('\n')).toStdString();
  }

  QVariant run(const QString& body) {
    QEventLoop loop;
    QVariant result;
    page_->runJavaScript(QStringLiteral("(function(){try{") + body +
                             QStringLiteral("\n}catch(e){return 'JSERROR: '+e+' '+e.stack;}})()"),
                         [&](const QVariant& v) {
                           result = v;
                           loop.quit();
                         });
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    loop.exec();
    return result;
  }
  void expect_true(const QString& body) {
    const QVariant v = run(body);
    EXPECT_TRUE(v.userType() == QMetaType::Bool && v.toBool()) << v.toString().toStdString();
  }
  bool wait_until(const QString& expression, int timeout_ms = 8000) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < timeout_ms) {
      if (run(QStringLiteral("return !!(") + expression + QStringLiteral(");")).toBool()) return true;
      shim_pump(20);
    }
    return false;
  }

  TempProgramFolder folder_{(shim_ensure_program_dir(), true)};
  QWebEngineView view_;
  ShimWebPage* page_ = new ShimWebPage(&view_);
};

TEST_F(ShimMainPageTest, AircraftMovesTurnsAndIsFollowed) {
  expect_true(R"JS(
    var el = document.querySelector('.leaflet-marker-pane .tv-marker');
    if (el.style.backgroundImage.indexOf('AvionE.png') < 0) return 'first icon ' + el.style.backgroundImage;
    MueveAvion(40.41, -3.69, 50, 1);
    MueveAvion(40.42, -3.68, 51, 1);
    if (el.style.backgroundImage.indexOf('AvionNE4E.png') < 0) return 'icon at 51: ' + el.style.backgroundImage;
    if (document.querySelectorAll('.leaflet-marker-pane .tv-marker').length !== 1) return 'marker copies';
    if (el.title !== 'Heading: 51') return 'title ' + el.title;
    var c = map.getCenter();
    if (Math.abs(c.lat() - 40.42) > 0.005 || Math.abs(c.lng() + 3.68) > 0.005) return 'not followed: ' + c;
    MueveAvion(40.8, -3.2, 51, 0);
    c = map.getCenter();
    return Math.abs(c.lat() - 40.42) < 0.005 ? true : 'moved without follow: ' + c;
  )JS");
}

TEST_F(ShimMainPageTest, DynamicRouteShowsDistanceAndCourseAndFollowsTheAircraft) {
  expect_true(R"JS(
    MueveAvion(40.4, -3.7, 90, 1);
    var div = map.getDiv(), r = div.getBoundingClientRect();
    // Double click 200 px east of the aircraft, which is in the middle.
    div.dispatchEvent(new MouseEvent('dblclick', {bubbles: true, cancelable: true, clientX: r.left + r.width / 2 + 200, clientY: r.top + r.height / 2}));
    if (!marcapos || !rutades) return 'no dynamic route';
    if (map.getZoom() !== 9) return 'double click zoomed';
    var text = document.querySelector('.leaflet-popup-content');
    if (!text || text.innerHTML.indexOf('Rumbo: 90<br>') < 0) return 'info ' + (text && text.innerHTML);
    var dash = null;
    document.querySelectorAll('.leaflet-overlay-pane path').forEach(function (p) { if (p.getAttribute('stroke-dasharray')) dash = p; });
    if (!dash || dash.getAttribute('stroke-dasharray') !== '8 12' || dash.getAttribute('stroke-width') !== '4') return 'dashes';
    var d0 = dash.getAttribute('d'), before = text.innerHTML;
    MueveAvion(40.4, -3.9, 270, 0);
    if (dash.getAttribute('d') === d0) return 'line did not follow the aircraft';
    if (text.innerHTML === before) return 'distance not updated: ' + text.innerHTML;
    // A double click on the pilot's marker removes the route.
    var icons = document.querySelectorAll('.leaflet-marker-pane .tv-marker');
    var mine = icons[icons.length - 1], mr = mine.getBoundingClientRect();
    mine.dispatchEvent(new MouseEvent('dblclick', {bubbles: true, cancelable: true, clientX: mr.left + 5, clientY: mr.top + 5}));
    var left = 0;
    document.querySelectorAll('.leaflet-overlay-pane path').forEach(function (p) { if (p.getAttribute('stroke-dasharray')) left++; });
    return left === 0 && document.querySelectorAll('.leaflet-popup').length === 0 ? true : 'route left: ' + left;
  )JS");
}

TEST_F(ShimMainPageTest, RouteVfrPointsAirspacesAndMapTypes) {
  ASSERT_TRUE(wait_until("mgr.getMarkerCount(9) === 2"));
  expect_true(R"JS(
    var labels = function () {
      var n = 0;
      document.querySelectorAll('#map .labels').forEach(function (l) { if (l.style.display !== 'none') n++; });
      return n;
    };
    if (labels() !== 0) return 'VFR shown before asked';
    MostrarVFR();
    window.vfrShown = true;
    return true;
  )JS");
  ASSERT_TRUE(wait_until("document.querySelectorAll('#map .labels').length === 2"));
  expect_true(R"JS(
    OcultarVFR();
    if (document.querySelectorAll('#map .labels').length !== 0) return 'VFR left after hide';
    AgregarPunto(40.3, -3.8); AgregarPunto(40.5, -3.6); AgregarPunto(40.45, -3.5);
    var icons = document.querySelectorAll('.leaflet-marker-pane .tv-marker');
    if (icons.length !== 3) return 'markers ' + icons.length;
    if (!pfin.getPosition().equals(new google.maps.LatLng(40.45, -3.5))) return 'end marker';
    clearRuta();
    clearRuta();
    if (document.querySelectorAll('.leaflet-marker-pane .tv-marker').length !== 1 || polyShape.getPath().getLength() !== 0) return 'clearRuta';
    NuevoPoligono('Restringida<br>', "O'Neill", '#FF0000', [[-3.75, 40.35], [-3.65, 40.45], [-3.65, 40.35]]);
    if (nomespacios[0] !== "O'Neill") return 'airspace';
    map.setMapTypeId(google.maps.MapTypeId.TERRAIN);
    return document.querySelector('.leaflet-tile-pane .tv-tiles-terrain') ? true : 'terrain layer';
  )JS");
  // The outline is drawn in its colour on the map's outline canvas (on the ring's southern edge).
  EXPECT_TRUE(wait_until(R"JS((function () {
    var c = document.querySelector('.leaflet-tvOutlines-pane canvas'), r = c.getBoundingClientRect();
    var p = map.__l.latLngToContainerPoint([40.35, -3.70]), m = map.getDiv().getBoundingClientRect(), k = c.width / r.width;
    var d = c.getContext('2d').getImageData(Math.round((p.x + m.left - r.left) * k), Math.round((p.y + m.top - r.top) * k), 1, 1).data;
    return d[0] === 255 && d[1] === 0 && d[2] === 0 && d[3] === 255;
  })())JS"));
}

}  // namespace
}  // namespace tolvex::test
