// The map page's script in a real browser, on the keyless provider: aircraft icon and follow
// mode, dynamic route texts, route markers, airspace outlines, VFR markers, hostile texts.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>
#include <QMouseEvent>

#include <string>
#include <vector>

#include "map/page_harness.h"
#include "map/view_statements.h"
#include "overlays/airspace_drawing.h"
#include "overlays/vfr_points.h"
#include "pages/embedded_pages.h"

namespace tolvex::test {
namespace {

QString icon_file(PageHarness& h) {
  return h.eval("marcador.getIcon() ? marcador.getIcon().url : ''").toString();
}

QString mueve(double lat, double lon, int hdg, bool follow) {
  return QString::fromStdString(mueve_avion_statement(lat, lon, hdg, follow));
}

TEST(MapPageTemplate, IsCrLfAsciiWithEveryPlaceholder) {
  const std::string page(embedded_page("main_page.html"));
  ASSERT_FALSE(page.empty());
  for (std::size_t i = 0; i < page.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(page[i]);
    ASSERT_LT(c, 0x80u) << "non-ASCII byte at " << i;
    if (c == '\n') ASSERT_TRUE(i > 0 && page[i - 1] == '\r') << "bare line feed at " << i;
    if (c == '\r') ASSERT_TRUE(i + 1 < page.size() && page[i + 1] == '\n') << "bare CR at " << i;
  }
  auto count = [&](const std::string& what) {
    int n = 0;
    for (std::size_t at = page.find(what); at != std::string::npos; at = page.find(what, at + 1)) ++n;
    return n;
  };
  const std::vector<std::pair<std::string, int>> expected = {
      {"##LT##", 2}, {"##LG##", 2}, {"##ZM##", 1}, {"##TMP##", 1}, {"##PUNTOSVFR##", 1},
      {"##FICOSH##", 1}, {"##RUTADIN##", 1}, {"##MAPSAPI##", 1}, {"##HDG##", 1}, {"##SUAVE##", 1},
      {"##MARCANARANJA##", 1}, {"##MARCAAZUL##", 1}, {"##MARCAROJA##", 1}};
  for (const auto& [placeholder, n] : expected) EXPECT_EQ(count(placeholder), n) << placeholder;
  EXPECT_EQ(count("'##MARCANARANJA##'") + count("'##MARCAAZUL##'") + count("'##MARCAROJA##'"), 3);
  EXPECT_EQ(count("<script"), 5);  // the three libraries, the glide and our own; the API stands at ##MAPSAPI##
  for (const char* lib : {"markermanager_packed.js", "markerwithlabel_packed.js", "v3_epoly.js", "glide.js"})
    EXPECT_EQ(count(std::string("src=\"") + lib + "\""), 1) << lib;
}

TEST(MapPageTemplate, ChartPageIsOneLineWithTheChartScripts) {
  const std::string page(embedded_page("chart_page.html"));
  ASSERT_FALSE(page.empty());
  EXPECT_EQ(page.find('\n'), std::string::npos);
  EXPECT_EQ(page.find('\r'), std::string::npos);
  EXPECT_NE(page.find("<div id=\"quillon\" style=\"##LTSKYVECTOR##\"><b>Cargando mapa. Por favor, espere ...</b><br>"),
            std::string::npos);
  const std::size_t link = page.find("src=\"##SKYVECTOR##/linkchart.js\"");
  const std::size_t chart = page.find(
      "src=\"##SKYVECTOR##/perl/ad1?lat=##LT##&amp;lon=##LG##&amp;s=##ZM##&amp;c=quillon&amp;y=vfr\"");
  ASSERT_NE(link, std::string::npos);
  ASSERT_NE(chart, std::string::npos);
  EXPECT_LT(link, chart);
}

// Each row: the headings given in turn and the icon expected after each one.
struct IconCase {
  const char* name;
  std::vector<int> headings;
  std::vector<const char*> icons;
};

TEST(MapPageScript, AircraftIconFollowsTheSectorTable) {
  PageHarness h;
  ASSERT_TRUE(h.load(map_page_html(40.4168, -3.7038, 200)));
  const std::vector<IconCase> cases = {
      {"into the next sector and within it", {50, 51, 55}, {"AvionNE.png", "AvionNE4E.png", "AvionNE4E.png"}},
      {"360 from another sector", {360}, {"AvionN.png"}},
      {"0 from another sector", {0}, {"AvionN.png"}},
      {"355 after 344-354", {350, 355}, {"AvionN4NW.png", "AvionN.png"}},
      {"355 after 340", {340, 355}, {"AvionNNW.png", "AvionN4NW.png"}},
      {"355 after 358", {358, 355}, {"AvionN.png", "AvionN4NW.png"}},
      {"west sector is ten wide", {265, 266, 275, 276}, {"AvionW4SW.png", "AvionW.png", "AvionW.png", "AvionW4NW.png"}},
      {"east edges", {84, 85, 96, 97}, {"AvionE4NE.png", "AvionE.png", "AvionE.png", "AvionE4SE.png"}},
      {"north edges", {6, 7, 17, 18}, {"AvionN.png", "AvionN4NE.png", "AvionN4NE.png", "AvionNNE.png"}},
  };
  for (const IconCase& c : cases) {
    // Start each case from a known sector far from the ones under test.
    h.bridge().run_statement(mueve(40.4168, -3.7038, 100, false));
    h.bridge().run_statement(mueve(40.4168, -3.7038, 200, false));
    ASSERT_EQ(icon_file(h), "AvionSSW.png") << c.name;
    for (std::size_t i = 0; i < c.headings.size(); ++i) {
      h.bridge().run_statement(mueve(40.4168, -3.7038, c.headings[i], false));
      EXPECT_EQ(icon_file(h), c.icons[i]) << c.name << ", heading " << c.headings[i];
    }
  }
  EXPECT_EQ(h.eval("heading").toInt(), 18);
  EXPECT_EQ(h.eval("marcador.getTitle()").toString(), "Heading: 18");
}

TEST(MapPageScript, FirstFrameShowsTheIconOfTheCurrentHeading) {
  const std::vector<std::pair<int, const char*>> cases = {
      {90, "AvionE.png"}, {0, "AvionN.png"}, {275, "AvionW.png"}, {355, "AvionN4NW.png"}, {131, "AvionSE.png"}};
  for (const auto& [hdg, icon] : cases) {
    PageHarness h;
    ASSERT_TRUE(h.load(map_page_html(40.4168, -3.7038, hdg)));
    EXPECT_EQ(icon_file(h), icon) << hdg;
    EXPECT_EQ(h.eval("heading").toInt(), hdg);
    // A heading within the same sector keeps it, the next sector changes it.
    h.bridge().run_statement(mueve(40.4168, -3.7038, hdg, false));
    EXPECT_EQ(icon_file(h), icon) << hdg;
  }
}

TEST(MapPageScript, FollowFlagPansOnlyWhenSet) {
  PageHarness h;
  ASSERT_TRUE(h.load(map_page_html(40.0, -3.0, 90)));
  auto centre = [&] {
    return h.eval("[map.getCenter().lat(), map.getCenter().lng()]").toList();
  };
  auto near = [](const QVariantList& c, double lat, double lon) {
    return c.size() == 2 && std::abs(c[0].toDouble() - lat) < 1e-3 && std::abs(c[1].toDouble() - lon) < 1e-3;
  };
  h.bridge().run_statement(mueve(40.2, -2.8, 90, false));
  pump_events(400);
  EXPECT_TRUE(near(centre(), 40.0, -3.0));
  EXPECT_NEAR(h.eval("marcador.getPosition().lat()").toDouble(), 40.2, 1e-9);

  h.bridge().run_statement(mueve(40.1, -2.9, 90, true));
  EXPECT_TRUE(h.wait_until("Math.abs(map.getCenter().lat() - 40.1) < 1e-3 && Math.abs(map.getCenter().lng() + 2.9) < 1e-3"));
  h.bridge().run_statement(mueve(40.15, -2.95, 90, true));
  EXPECT_TRUE(h.wait_until("Math.abs(map.getCenter().lat() - 40.15) < 1e-3 && Math.abs(map.getCenter().lng() + 2.95) < 1e-3"));

  h.bridge().run_statement(mueve(40.3, -2.5, 90, false));
  pump_events(400);
  EXPECT_TRUE(near(centre(), 40.15, -2.95));
}

QString dblclick_at(double lat, double lon) {
  return QStringLiteral("google.maps.event.trigger(map, 'dblclick', {latLng: new google.maps.LatLng(%1, %2)});")
      .arg(lat, 0, 'f', 6)
      .arg(lon, 0, 'f', 6);
}

TEST(MapPageScript, DynamicRouteShowsDistanceAndCourseToTheMarker) {
  PageHarness h;
  ASSERT_TRUE(h.load(map_page_html(0.0, 0.0, 90)));
  EXPECT_EQ(h.eval("typeof rutades").toString(), "undefined");

  struct Case {
    double lat, lon;
    const char* texts;
  };
  // One degree of arc on the 6378137 m sphere is 60.1 nm.
  const Case cases[] = {
      {0.0, 1.0, "Distancia: 60 nm.<br>Rumbo: 90<br>"},
      {0.0, -1.0, "Distancia: 60 nm.<br>Rumbo: 270<br>"},
      {-1.0, 0.0, "Distancia: 60 nm.<br>Rumbo: 180<br>"},
      {1.0, 0.0, "Distancia: 60 nm.<br>Rumbo: 360<br>"},
      {1.0, 1.0, "Distancia: 85 nm.<br>Rumbo: 45<br>"},
  };
  for (const Case& c : cases) {
    h.bridge().run_statement(dblclick_at(c.lat, c.lon));
    EXPECT_EQ(h.eval("infowindow2.getContent()").toString(), c.texts) << c.lat << "," << c.lon;
    QString title = QString::fromUtf8(c.texts).replace("<br>", "\n");
    EXPECT_EQ(h.eval("marcapos.getTitle()").toString(), title);
  }
  // Only the last marker and line remain.
  h.bridge().run_statement(dblclick_at(0.0, 1.0));
  EXPECT_EQ(h.eval("marcapos.getMap() === map && rutades.getMap() === map").toBool(), true);

  // The aircraft moving updates the line's second point and the texts.
  h.bridge().run_statement(mueve(0.0, 0.5, 90, false));
  EXPECT_EQ(h.eval("infowindow2.getContent()").toString(), "Distancia: 30 nm.<br>Rumbo: 90<br>");

  // Dragging the marker moves the line's first point.
  h.bridge().run_statement("marcapos.setPosition(new google.maps.LatLng(0, -0.5)); "
                           "google.maps.event.trigger(marcapos, 'drag');");
  EXPECT_EQ(h.eval("infowindow2.getContent()").toString(), "Distancia: 60 nm.<br>Rumbo: 270<br>");
  EXPECT_NEAR(h.eval("rutades.getPath().getAt(0).lng()").toDouble(), -0.5, 1e-9);

  // A double click on the marker takes the marker, its window and the line away.
  h.bridge().run_statement("google.maps.event.trigger(marcapos, 'dblclick');");
  EXPECT_TRUE(h.eval("!marcapos.getMap() && !rutades.getMap() && !infowindow2.getMap()").toBool());
}

// Press, release, press, release within the double-click interval, as the window system
// delivers a double click (the browser counts the clicks from the time stamps).
void real_double_click(QWebEngineView& view, QPoint where) {
  QWidget* surface = view.focusProxy() ? view.focusProxy() : &view;
  const QPointF at(where);
  const QPointF global = surface->mapToGlobal(at);
  static ulong stamp = 1000;
  stamp += 5000;
  for (int i = 0; i < 2; ++i) {
    QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    press.setTimestamp(stamp += 20);
    QCoreApplication::sendEvent(surface, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    release.setTimestamp(stamp += 20);
    QCoreApplication::sendEvent(surface, &release);
  }
}

TEST(MapPageScript, APilotsDoubleClicksStartAndEndTheDynamicRoute) {
  PageHarness h;
  ASSERT_TRUE(h.load(map_page_html(0.0, 0.0, 90)));
  ASSERT_TRUE(h.wait_until("map.getDiv().offsetWidth > 0"));
  const QPoint east(h.view().width() / 2 + 150, h.view().height() / 2);
  real_double_click(h.view(), east);
  ASSERT_TRUE(h.wait_until("typeof marcapos === 'object' && !!marcapos.getMap()"));
  EXPECT_TRUE(h.eval("infowindow2.getContent()").toString().endsWith("Rumbo: 90<br>"));
  EXPECT_EQ(h.eval("map.getZoom()").toInt(), 9);  // a double click never zooms this map

  // On the marker's pin (drawn above its point) the double click removes it and starts nothing new.
  h.eval("window.primero = marcapos; 1");
  real_double_click(h.view(), east - QPoint(0, 15));
  ASSERT_TRUE(h.wait_until("!marcapos.getMap()"));
  pump_events(300);
  EXPECT_TRUE(h.eval("marcapos === window.primero && !rutades.getMap()").toBool());
}

// An information window pans the map when it opens, and never again while it stays open:
// neither its anchor moving (the aircraft) nor its text changing (the dynamic route) moves a
// map that is not following the aircraft.
TEST(MapPageScript, OpenInformationWindowsLeaveTheMapWhereItIs) {
  PageHarness h;
  ASSERT_TRUE(h.load(map_page_html(40.0, -3.0, 90)));
  const QString centre = QStringLiteral("map.getCenter().toUrlValue(5)");
  const QString open = QStringLiteral("!!document.querySelector('.leaflet-popup')");
  auto settled = [&] {
    pump_events(500);  // relayouts run at the next frame, pans animate for a quarter second
    return h.eval(centre).toString();
  };
  // The aircraft's window opens in view: nothing pans. Then the aircraft flies off the top edge.
  h.bridge().run_statement("google.maps.event.trigger(marcador, 'click');");
  ASSERT_TRUE(h.eval(open).toBool());
  const QString start = settled();
  for (double lat : {40.3, 40.55, 40.7}) {
    h.bridge().run_statement(mueve(lat, -3.0, 90, false));
    EXPECT_EQ(settled(), start) << "aircraft at " << lat;
  }
  // Opened on the aircraft off the edge, the window pans the map to show itself.
  h.bridge().run_statement("google.maps.event.trigger(marcador, 'click');");
  const QString shown = settled();
  EXPECT_NE(shown, start);

  // The dynamic route's window, opened in view, then pushed off the top edge by the pilot
  // panning the map: each sample rewrites its text, and the map stays.
  h.bridge().run_statement("infowindow.close();");
  h.bridge().run_statement(mueve(40.0, -3.0, 90, false));
  h.bridge().run_statement("map.setCenter(new google.maps.LatLng(40.0, -3.0));");
  h.bridge().run_statement(dblclick_at(40.1, -3.0));
  ASSERT_TRUE(h.eval("infowindow2.getMap() === map").toBool());
  h.bridge().run_statement("map.setCenter(new google.maps.LatLng(39.5, -3.0));");
  const QString pushed = settled();
  for (double lat : {39.9, 39.8, 39.6}) {
    h.bridge().run_statement(mueve(lat, -3.0, 90, false));
    EXPECT_EQ(settled(), pushed) << "aircraft at " << lat;
  }
  EXPECT_TRUE(h.eval("infowindow2.getContent()").toString().startsWith("Distancia: 30 nm."));
}

TEST(MapPageScript, DynamicRouteCourseAwayFromTheEquator) {
  PageHarness h;
  ASSERT_TRUE(h.load(map_page_html(40.4168, -3.7038, 90)));
  h.bridge().run_statement(dblclick_at(40.4168, -3.4038));
  EXPECT_TRUE(h.eval("infowindow2.getContent()").toString().endsWith("Rumbo: 90<br>"));
  h.bridge().run_statement(dblclick_at(40.4168, -4.0038));
  EXPECT_TRUE(h.eval("infowindow2.getContent()").toString().endsWith("Rumbo: 270<br>"));
}

TEST(MapPageScript, RouteMarkersSitOnTheFirstAndLastPoints) {
  PageHarness h;
  ASSERT_TRUE(h.load(map_page_html(40.4168, -3.7038, 90)));
  // Clearing an empty route is harmless: the rest of its batch still runs.
  h.bridge().run_statements({"clearRuta();", "window.despues = 1;"});
  EXPECT_EQ(h.eval("window.despues").toInt(), 1);
  EXPECT_EQ(h.eval("typeof pinicio").toString(), "undefined");

  const RoutePointStatements route = route_point_statements("-3.70, 40.40\n-3.60, 40.50\n-3.50, 40.45\n");
  ASSERT_EQ(route.statements.size(), 3u);
  h.bridge().run_statement(QString::fromStdString(route.statements[0]));
  EXPECT_EQ(h.eval("polyShape.getPath().getLength()").toInt(), 1);
  EXPECT_EQ(h.eval("pinicio.getIcon().url").toString(), "mm_20_blue.png");
  EXPECT_EQ(h.eval("typeof pfin").toString(), "undefined");
  h.bridge().run_statement(QString::fromStdString(route.statements[1]));
  h.bridge().run_statement(QString::fromStdString(route.statements[2]));
  EXPECT_EQ(h.eval("polyShape.getPath().getLength()").toInt(), 3);
  EXPECT_EQ(h.eval("[pinicio.getPosition().lat(), pinicio.getPosition().lng()]").toList(),
            (QVariantList{40.40, -3.70}));
  EXPECT_EQ(h.eval("[pfin.getPosition().lat(), pfin.getPosition().lng()]").toList(), (QVariantList{40.45, -3.50}));
  EXPECT_EQ(h.eval("pfin.getIcon().url").toString(), "mm_20_red.png");
  EXPECT_TRUE(h.eval("pinicio.getMap() === map && pfin.getMap() === map").toBool());

  h.bridge().run_statement(QString::fromStdString(cambiar_linea_statement(6, 12, "0.5")));
  EXPECT_EQ(h.eval("[lineWeight, lineColor, opacity]").toList(), (QVariantList{6, "#FF0000", 0.5}));
  EXPECT_EQ(h.eval("polyShape.get('strokeColor')").toString(), "#FF0000");

  // The route's bounds: what a double click on it fits the map to.
  EXPECT_EQ(h.eval("var b = polyShape.getBounds(); [b.getSouthWest().lat(), b.getSouthWest().lng(), "
                   "b.getNorthEast().lat(), b.getNorthEast().lng()]")
                .toList(),
            (QVariantList{40.40, -3.70, 40.50, -3.50}));

  h.bridge().run_statement("clearRuta();");
  EXPECT_EQ(h.eval("polyShape.getPath().getLength()").toInt(), 0);
  EXPECT_TRUE(h.eval("!pinicio.getMap() && !pfin.getMap()").toBool());

  // A new route after clearing starts over with a fresh blue marker.
  h.bridge().run_statement(QString::fromStdString(route.statements[1]));
  EXPECT_TRUE(h.eval("pinicio.getMap() === map && !pfin.getMap()").toBool());
  h.bridge().run_statement("clearRuta();");
  EXPECT_TRUE(h.eval("!pinicio.getMap()").toBool());
}

TEST(MapPageScript, AirspaceOutlinesAreRecordedWithTheirNames) {
  PageHarness h;
  ASSERT_TRUE(h.load(map_page_html(38.1, -0.45, 90)));
  const auto one = ProcesaEspacioAereo("R", "Punto suelto", "", {"DP -0.5,38.1"}, true);
  ASSERT_EQ(one.size(), 1u);
  h.bridge().run_statement(QString::fromStdString(one[0]));
  EXPECT_EQ(h.eval("espacios.length").toInt(), 1);
  EXPECT_EQ(h.eval("nomespacios[0]").toString(), "Punto suelto");
  EXPECT_EQ(h.eval("espacios[0].getPath().getLength()").toInt(), 1);

  const auto three = ProcesaEspacioAereo("R", "LED 71", "0,2,ROJO", {"DP -0.5,38.1", "DP -0.4,38.2", "DP -0.4,38.1"}, true);
  ASSERT_EQ(three.size(), 1u);
  h.bridge().run_statement(QString::fromStdString(three[0]));
  EXPECT_EQ(h.eval("nomespacios").toList(), (QVariantList{"Punto suelto", "LED 71"}));
  EXPECT_EQ(h.eval("espacios[1].getPath().getLength()").toInt(), 4);  // closed back to the first vertex
  EXPECT_EQ(h.eval("var p = espacios[1].getPath(); [p.getAt(3).lat(), p.getAt(3).lng(), p.getAt(1).lat()]").toList(),
            (QVariantList{38.1, -0.5, 38.2}));
  EXPECT_EQ(h.eval("espacios[1].get('strokeColor')").toString(), "#FF0000");
  EXPECT_TRUE(h.eval("espacios[1].getMap() === map").toBool());
}

const char kVfrFile[] =
    "Cuatro Vientos|40.3706|-3.7850\r\n"
    "Getafe|40,2944|-3,7239\r\n"
    "Sur|40.30|-3.70\r\n";

TEST(MapPageScript, VfrMarkersStayHiddenUntilShown) {
  PageHarness h;
  ASSERT_TRUE(h.load(map_page_html(40.33, -3.75, 90, build_vfr_statements(kVfrFile))));
  EXPECT_EQ(h.eval("gmarkers.length").toInt(), 3);
  ASSERT_TRUE(h.wait_until("mgr.getMarkerCount(19) === 3"));
  h.eval("map.setZoom(12)");  // near enough for all three labels to show side by side
  auto shown = [&] {
    return h.eval("gmarkers.filter(function (m) { return m.getMap() === map; }).length").toInt();
  };
  EXPECT_EQ(shown(), 0);
  h.bridge().run_statement(QString::fromLatin1(mostrar_vfr_statement.data(), mostrar_vfr_statement.size()));
  EXPECT_EQ(shown(), 3);
  EXPECT_EQ(h.eval("gmarkers[0].get('labelClass')").toString(), "labels");
  h.bridge().run_statement(QString::fromLatin1(ocultar_vfr_statement.data(), ocultar_vfr_statement.size()));
  EXPECT_EQ(shown(), 0);
}

TEST(MapPageScript, VfrLabelsReadWholeBesideTheirPinsBelowTheAircraftAndNeverPiledUp) {
  // A crowd of reporting points with long names around the aircraft; "Pegado" lies 20 pixels
  // west of it at zoom 9, so that its label would reach over the aircraft.
  const std::string file =
      "Pegado|40.4|-3.7549\r\nVillanueva de la Ca\xC3\xB1" "ada|40.45|-3.99\r\nFuenlabrada|40.28|-3.79\r\n"
      "Puente de Segovia|40.41|-3.72\r\nCuatro Vientos|40.37|-3.78\r\nGetafe|40.29|-3.72\r\n"
      "Legan\xC3\xA9s|40.33|-3.76\r\nAlcorc\xC3\xB3n|40.35|-3.82\r\nM\xC3\xB3stoles|40.32|-3.86\r\n"
      "Boadilla del Monte|40.40|-3.88\r\nPozuelo de Alarc\xC3\xB3n|40.43|-3.81\r\nCasa de Campo|40.42|-3.75\r\n"
      "Parla|40.24|-3.77\r\nNavalcarnero|40.29|-4.01\r\nArroyomolinos|40.27|-3.92\r\n";
  PageHarness h;
  ASSERT_TRUE(h.load(map_page_html(40.4, -3.7, 90, build_vfr_statements(file))));
  ASSERT_TRUE(h.wait_until("mgr.getMarkerCount(19) === 15"));
  h.bridge().run_statement("MostrarVFR(); ");
  const QString layout = QStringLiteral(
      "(function () { var out = [];"
      "  gmarkers.forEach(function (m) { if (m.getMap() !== map) return;"
      "    var l = m.label.div.getBoundingClientRect(), p = m.__el.getBoundingClientRect();"
      "    out.push({text: m.label.div.textContent, whole: m.label.div.scrollWidth <= m.label.div.clientWidth,"
      "      l: l.left, t: l.top, r: l.right, b: l.bottom, pl: p.left, pt: p.top, pb: p.bottom}); });"
      "  var a = marcador.__el.getBoundingClientRect(), x = (a.left + a.right) / 2, y = (a.top + a.bottom) / 2;"
      "  var top = document.elementFromPoint(x, y);"
      "  return JSON.stringify({shown: out, aircraftOnTop: !!top && (top === marcador.__el || marcador.__el.contains(top))});"
      "})()");
  EXPECT_LT(h.eval("mgr.getMarkerCount(9)").toInt(), 15) << "where labels would pile up, fewer show";
  EXPECT_EQ(h.eval("mgr.getMarkerCount(14)").toInt(), 15) << "closer in, every point shows";
  for (int zoom : {9, 11, 12}) {
    SCOPED_TRACE(zoom);
    h.eval(QStringLiteral("map.setZoom(%1)").arg(zoom));
    pump_events(300);
    const QJsonObject page = QJsonDocument::fromJson(h.eval(layout).toString().toUtf8()).object();
    const QJsonArray shown = page[QStringLiteral("shown")].toArray();
    EXPECT_GT(shown.size(), 1);
    EXPECT_TRUE(page[QStringLiteral("aircraftOnTop")].toBool()) << "the aircraft is drawn above every label";
    for (int i = 0; i < shown.size(); ++i) {
      const QJsonObject a = shown[i].toObject();
      const std::string text = a[QStringLiteral("text")].toString().toStdString();
      EXPECT_TRUE(a[QStringLiteral("whole")].toBool()) << text << " is cut";
      EXPECT_GE(a[QStringLiteral("l")].toDouble(), a[QStringLiteral("pl")].toDouble() + 8) << text << ": beside its pin";
      EXPECT_LT(a[QStringLiteral("t")].toDouble(), a[QStringLiteral("pb")].toDouble()) << text;
      EXPECT_GT(a[QStringLiteral("b")].toDouble(), a[QStringLiteral("pt")].toDouble()) << text;
      for (int j = i + 1; j < shown.size(); ++j) {
        const QJsonObject b = shown[j].toObject();
        const bool apart = a[QStringLiteral("r")].toDouble() <= b[QStringLiteral("l")].toDouble() + 1 ||
                           b[QStringLiteral("r")].toDouble() <= a[QStringLiteral("l")].toDouble() + 1 ||
                           a[QStringLiteral("b")].toDouble() <= b[QStringLiteral("t")].toDouble() + 1 ||
                           b[QStringLiteral("b")].toDouble() <= a[QStringLiteral("t")].toDouble() + 1;
        EXPECT_TRUE(apart) << text << " covers " << b[QStringLiteral("text")].toString().toStdString();
      }
    }
  }
}

TEST(MapPageScript, HostileLabelsAndNamesStayText) {
  const std::vector<std::string> labels = {
      "Comilla \" doble",
      "Comilla ' simple",
      "Barra \\ invertida \\",
      "</script><script>window.pwned = 1;</script>",
      "<img src=x onerror=\"window.pwned = 2\">",
      "]]> --> <!-- fin",
      "\"); window.pwned = 3; (\"",
      "Ca\xC3\xB1" "ada de \xC3\x81" "lava",  // the page is read as UTF-8, as it is written
  };
  std::string file;
  for (const std::string& label : labels) file += label + "|40.33|-3.75\r\n";
  PageHarness h;
  ASSERT_TRUE(h.load(map_page_html(40.33, -3.75, 90, build_vfr_statements(file))));
  ASSERT_EQ(h.eval("typeof marcador").toString(), "object");  // the page's script ran to the end
  ASSERT_EQ(h.eval("gmarkers.length").toInt(), static_cast<int>(labels.size()));
  ASSERT_TRUE(h.wait_until("mgr.getMarkerCount(19) === gmarkers.length"));
  h.eval("map.setZoom(19)");  // all in one place: they show together only at the closest zoom
  h.bridge().run_statement("MostrarVFR(); ");
  pump_events(300);
  QStringList shown = h.eval("Array.prototype.map.call(document.querySelectorAll('.labels'), "
                             "function (d) { return d.textContent; })")
                          .toStringList();
  for (const std::string& label : labels)
    EXPECT_TRUE(shown.contains(QString::fromStdString(label))) << label << " in " << shown.join(" | ").toStdString();

  const std::vector<std::string> names = {
      "O'Neill", "Barra \\ final\\", "Linea\npartida\r\n", "</script><script>window.pwned = 4;</script>",
      "'); window.pwned = 5; ('"};
  for (const std::string& name : names) {
    const auto statements = ProcesaEspacioAereo("R", name, "0,2,VERDE", {"DP -3.7,40.3", "DP -3.6,40.4"}, true);
    ASSERT_EQ(statements.size(), 1u);
    h.bridge().run_statement(QString::fromStdString(statements[0]));
  }
  const QStringList recorded = h.eval("nomespacios").toStringList();
  ASSERT_EQ(recorded.size(), static_cast<int>(names.size()));
  for (std::size_t i = 0; i < names.size(); ++i) EXPECT_EQ(recorded[static_cast<int>(i)].toStdString(), names[i]);
  EXPECT_EQ(h.eval("typeof window.pwned").toString(), "undefined");
}

}  // namespace
}  // namespace tolvex::test
