// The moving map as the pilot drives it: statements sent to a live page, rebuilds, overlays.
#include <QAccessible>
#include <QDir>
#include <QSystemTrayIcon>
#include <QToolButton>
#include <QUrl>

#include "shell/main_window_fixture.h"
#include "simlink/iocp_client_qt.h"
#include "support/fake_iocp_server.h"
#include "support/fake_web_host.h"

namespace tolvex::test {
namespace {

using Names = std::vector<std::string>;

class MapTest : public MainWindowTest {
 protected:
  void start_connected(const std::string& more_inicio = "", const std::string& more_sections = "",
                       MainWindowOptions options = {}) {
    start("[INICIO]\r\nDEBUG=S\r\nTIPOCONEXION=I\r\nPUERTO=" + std::to_string(server.port()) +
              "\r\nSONIDOS=N\r\nINTERVALO=60\r\n" + more_inicio + more_sections,
          options);
    QSignalSpy loaded(window.get(), &MainWindow::map_page_loaded);
    window->conexionClick();
    ASSERT_TRUE(window->conectado);
    ASSERT_TRUE(loaded.wait(15000)) << "the first map page never loaded";
    statements.clear();
  }

  // Runs an expression in the live page.
  QVariant page(const QString& expression) { return window->bridge->evaluate(expression, 5000); }

  FakeIocpServer server;
};

TEST_F(MapTest, EachTickMovesTheAircraftWithOneStatement) {
  start_connected("AUTOMAT=S\r\nSUAVE=N\r\n");
  window->Timer_autoTimer();
  EXPECT_EQ(statements, (Names{"MueveAvion(40.47123,-3.70912,270,1);"}));
  window->cfg.auto_ = false;
  statements.clear();
  server.set_sample({4041678, -370379, 9000});
  window->Timer_autoTimer();
  EXPECT_EQ(statements, (Names{"MueveAvion(40.41678,-3.70379,90,0);"}));
  // The page really moved the marker, at once: no glide without SUAVE.
  EXPECT_EQ(page("typeof planeo").toString(), QStringLiteral("undefined"));
  EXPECT_NEAR(page("marcador.getPosition().lat()").toDouble(), 40.41678, 1e-9);
  EXPECT_EQ(page("heading").toInt(), 90);
}

TEST_F(MapTest, MapTypeButtonsSendTheirStatement) {
  start_connected();
  struct Case {
    void (MainWindow::*click)();
    int tipo;
    const char* statement;
  };
  const Case cases[] = {
      {&MainWindow::maphibridoClick, 2, "map.setMapTypeId(google.maps.MapTypeId.HYBRID);"},
      {&MainWindow::mapsateliteClick, 3, "map.setMapTypeId(google.maps.MapTypeId.SATELLITE);"},
      {&MainWindow::maprelieveClick, 4, "map.setMapTypeId(google.maps.MapTypeId.TERRAIN);"},
      {&MainWindow::mapnormalClick, 1, "map.setMapTypeId(google.maps.MapTypeId.ROADMAP);"},
  };
  for (const Case& c : cases) {
    statements.clear();
    (window.get()->*c.click)();
    EXPECT_EQ(window->tipogooglemap, c.tipo);
    EXPECT_EQ(statements, (Names{c.statement}));
  }
  EXPECT_EQ(page("map.getMapTypeId()").toString(), QStringLiteral("roadmap"));
}

TEST_F(MapTest, VfrButtonTogglesTheMarkers) {
  start_connected();
  window->bpuntosvfrClick();
  window->bpuntosvfrClick();
  EXPECT_EQ(statements, (Names{"MostrarVFR(); ", "OcultarVFR();"}));
  EXPECT_FALSE(window->cfg.puntosvfr);
}

TEST_F(MapTest, RouteButtonDrawsAndClears) {
  start_connected();
  window->brutaClick();
  EXPECT_TRUE(statements.empty()) << "an empty route only clears the flag";
  EXPECT_FALSE(window->cfg.ruta_visible);

  window->ruta_ruta = "-3.7, 40.4\n-3.6, 40.5\n-3.5, 40.45\n";
  window->brutaClick();
  EXPECT_EQ(statements, (Names{"AgregarPunto( 40.4,-3.7)", "AgregarPunto( 40.5,-3.6)", "AgregarPunto( 40.45,-3.5)",
                               "cambiarLinea(4,'#000000',1);"}));
  EXPECT_EQ(page("polyShape.getPath().getLength()").toInt(), 3);
  statements.clear();
  window->brutaClick();
  EXPECT_EQ(statements, (Names{"clearRuta();"}));
  EXPECT_EQ(page("polyShape.getPath().getLength()").toInt(), 0);
}

TEST_F(MapTest, RouteShownSurvivesARefresh) {
  start_connected("", "[RUTA]\r\nANCHO=6\r\nCOLOR=12\r\nTRANS=0.5\r\nVIS=S\r\n");
  window->ruta_ruta = "-3.7, 40.4\n-3.6, 40.5\n";
  QSignalSpy loaded(window.get(), &MainWindow::map_page_loaded);
  window->ActualizarClick();
  ASSERT_TRUE(loaded.wait(15000));
  statements.clear();
  window->Timer_PuntosVFRTimer();
  EXPECT_EQ(statements, (Names{"AgregarPunto( 40.4,-3.7)", "AgregarPunto( 40.5,-3.6)", "cambiarLinea(6,'#FF0000',0.5);"}));
  EXPECT_TRUE(window->cfg.ruta_visible);
}

TEST_F(MapTest, RestoreAfterLoadFollowsItsRules) {
  start_connected();
  struct Case {
    bool chart, route_visible, vfr;
    std::string route;
    Names expected;
    bool route_visible_after;
  };
  const Case cases[] = {
      {true, true, true, "-3.7, 40.4\n", {}, true},
      {false, true, true, "   ", {"MostrarVFR(); "}, false},
      {false, true, true, "-3.7, 40.4\n", {"AgregarPunto( 40.4,-3.7)", "cambiarLinea(4,'#000000',1);", "MostrarVFR(); "}, true},
      {false, true, false, "-3.7, 40.4\n", {"AgregarPunto( 40.4,-3.7)", "cambiarLinea(4,'#000000',1);"}, true},
      {false, false, true, "-3.7, 40.4\n", {"MostrarVFR(); "}, false},
      {false, false, false, "-3.7, 40.4\n", {}, false},
  };
  for (const Case& c : cases) {
    window->cfg.MapaSK = c.chart;
    window->cfg.ruta_visible = c.route_visible;
    window->cfg.puntosvfr = c.vfr;
    window->ruta_ruta = c.route;
    statements.clear();
    window->Timer_PuntosVFR.start();
    window->Timer_PuntosVFRTimer();
    EXPECT_FALSE(window->Timer_PuntosVFR.isActive());
    EXPECT_EQ(statements, c.expected);
    EXPECT_EQ(window->cfg.ruta_visible, c.route_visible_after);
  }
  window->cfg.MapaSK = false;
}

TEST_F(MapTest, ChartServiceRebuildsOnEveryTick) {
  start_connected();
  window->cambiarClick();
  EXPECT_TRUE(window->cfg.MapaSK);
  EXPECT_EQ(window->Timer_auto.interval(), 20000);
  ASSERT_TRUE(wait_page());
  EXPECT_EQ(visible_buttons(), (Names{"conexion", "actualizar", "cambiar", "zoomin", "zoomout", "configurar"}));
  statements.clear();
  window->Timer_autoTimer();
  EXPECT_FALSE(window->Timer_auto.isActive()) << "a rebuild stops the poll timer until the page has loaded";
  ASSERT_TRUE(wait_page());
  EXPECT_TRUE(statements.empty()) << "the chart page receives no statements";

  window->ZoomSK = 1;
  window->zoomoutClick();
  EXPECT_EQ(window->ZoomSK, 1);
  EXPECT_TRUE(window->Timer_auto.isActive()) << "zoom out at 1 does nothing";
  window->zoominClick();
  EXPECT_EQ(window->ZoomSK, 2);
  EXPECT_TRUE(window->pulsaboton);
  ASSERT_TRUE(wait_page());

  window->cambiarClick();
  EXPECT_FALSE(window->cfg.MapaSK);
  EXPECT_EQ(window->Timer_auto.interval(), 60000) << "back on Google Maps the interval comes from INTERVALO";
  ASSERT_TRUE(wait_page());
}

TEST_F(MapTest, OnlyTheLastOfTwoQuickRebuildsReportsItsLoad) {
  start_connected();
  QSignalSpy loaded(window.get(), &MainWindow::map_page_loaded);
  window->actualizar_mapa();
  window->actualizar_mapa();
  ASSERT_TRUE(loaded.wait(15000));
  QTest::qWait(500);
  EXPECT_EQ(loaded.count(), 1);
  EXPECT_TRUE(window->Timer_auto.isActive());
}

TEST_F(MapTest, ARebuildKeepsTheZoomThePilotChose) {
  start_connected();
  page("map.setZoom(12)");
  ASSERT_TRUE(QTest::qWaitFor([&] { return window->ZoomGL == 12; }, 3000));
  window->ActualizarClick();
  ASSERT_TRUE(wait_page());
  EXPECT_EQ(page("map.getZoom()").toInt(), 12);
  // To the chart service and back.
  window->cambiarClick();
  ASSERT_TRUE(wait_page());
  window->cambiarClick();
  ASSERT_TRUE(wait_page());
  EXPECT_EQ(page("map.getZoom()").toInt(), 12);
}

TEST_F(MapTest, AdjustableWindowRefusesTheChartService) {
  start_connected("SIZE=3\r\n");
  window->cambiarClick();
  EXPECT_EQ(messages, (Names{"No es posible usar el mapa skyvector en el modo de tamaño de ventana ajustable"}));
  EXPECT_FALSE(window->cfg.MapaSK);
  EXPECT_TRUE(window->Timer_auto.isActive());
}

TEST_F(MapTest, FollowButtonFlipsTheModeAndPolls) {
  start_connected();
  window->Timer_autoTimer();  // the tick after the connection ends the manual update
  statements.clear();
  window->seguimientoClick();
  EXPECT_TRUE(window->cfg.auto_);
  EXPECT_EQ(window->seguimiento->property("imagen").toInt(), 1);
  EXPECT_EQ(statements, (Names{"MueveAvion(40.47123,-3.70912,270,1);"}));
  EXPECT_EQ(server.count_lines("Arn.Preg:69:70:79:"), 3);
}

TEST_F(MapTest, FolderWithOnlyThePilotsDataGivesTheFullMap) {
  start_connected();
  const QStringList held = QDir(folder.qpath()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot);
  EXPECT_EQ(held, (QStringList{QStringLiteral("CONFIG.INI"), QStringLiteral("tolvex.log")}));
  // SUAVE is on unless the file says otherwise: the glide comes with the page files too.
  EXPECT_EQ(page("typeof L + ' ' + typeof MarkerManager + ' ' + typeof MarkerWithLabel + ' ' + typeof planeo").toString(),
            QStringLiteral("object function function object"));
  // Pictures are named relative to the page, as the aircraft marker names its icon.
  page("var probe_icon = new Image(); probe_icon.src = 'AvionW.png';");
  EXPECT_TRUE(QTest::qWaitFor([&] { return page("probe_icon.complete && probe_icon.naturalWidth").toInt() > 0; }, 5000))
      << "the aircraft icon shows";
  for (QToolButton* b : {window->conexion, window->actualizar, window->seguimiento, window->cerrar_apli})
    EXPECT_FALSE(b->icon().isNull()) << b->objectName().toStdString();
  EXPECT_FALSE(window->CoolTrayIcon->icon().isNull());
}

TEST_F(MapTest, MapPageThatNeverLoadsIsStoppedAndPollingGoesOn) {
  FakeWebHost silent(FakeWebHost::Mode::silent);
  MainWindowOptions options;
  options.page_load_limit_ms = 1000;
  start_connected("", "[MAPAS]\r\nSKYVECTOR=" + silent.host() + "\r\n", options);
  const std::string message = "No se ha podido cargar el mapa: " + silent.host() + " no respondió en 1 s.";
  window->cambiarClick();  // the chart page, whose scripts never come
  EXPECT_FALSE(window->Timer_auto.isActive());
  ASSERT_TRUE(QTest::qWaitFor([&] { return window->Timer_auto.isActive(); }, 10000)) << "polling resumes";
  EXPECT_EQ(messages, (Names{message}));
  EXPECT_EQ(visible_buttons(), (Names{"conexion", "actualizar", "cambiar", "zoomin", "zoomout", "configurar"}));

  // The next poll rebuilds and hangs again: polling resumes again, the pilot was told already.
  window->Timer_autoTimer();
  EXPECT_FALSE(window->Timer_auto.isActive());
  ASSERT_TRUE(QTest::qWaitFor([&] { return window->Timer_auto.isActive(); }, 10000));
  EXPECT_EQ(messages.size(), 1u);

  // A page that loads ends the streak; the next hang is told again.
  window->cambiarClick();
  ASSERT_TRUE(wait_page());
  EXPECT_EQ(page("typeof map").toString(), QStringLiteral("object"));
  window->cambiarClick();
  ASSERT_TRUE(QTest::qWaitFor([&] { return messages.size() == 2; }, 10000));
  EXPECT_TRUE(window->Timer_auto.isActive());
}

TEST_F(MapTest, HonestEmptyStates) {
  // Without a link the map panel says what to do, at start and after a disconnect.
  // What the map panel shows, loaded or stopped.
  auto text = [&] {
    QString shown;
    bool came = false;
    window->webbrowser1->page()->runJavaScript(QStringLiteral("document.body ? document.body.innerText : 'SIN BODY'"),
                                               [&](const QVariant& t) { shown = t.toString(), came = true; });
    QTest::qWaitFor([&] { return came; }, 2000);
    return shown;
  };
  const QString start_hint = QStringLiteral("Pulse Conectar para empezar");
  FakeWebHost silent(FakeWebHost::Mode::silent);
  MainWindowOptions options;
  options.page_load_limit_ms = 3000;  // long enough for a new view to show its page at all
  start("[INICIO]\r\nTIPOCONEXION=I\r\nPUERTO=" + std::to_string(server.port()) + "\r\n", options);
  EXPECT_TRUE(text().contains(start_hint)) << text().toStdString();
  window->conexionClick();
  ASSERT_TRUE(wait_page());
  EXPECT_FALSE(text().contains(start_hint));
  // A chart service that never answers, or refuses at once: the chart page says so.
  for (const std::string& host : {silent.host(), std::string("127.0.0.1:9")}) {
    SCOPED_TRACE(host);
    window->cfg.maps.skyvector = host;
    window->cfg.MapaSK = false;
    window->cambiarClick();
    ASSERT_TRUE(QTest::qWaitFor([&] { return text().contains(QStringLiteral("No se ha podido cargar la carta VFR: ") +
                                                             QString::fromStdString(host) + QStringLiteral(" no responde")); },
                                8000))
        << text().toStdString() << " messages: " << (messages.empty() ? "" : messages.back());
  }
  window->conexionClick();
  ASSERT_TRUE(QTest::qWaitFor([&] { return text().contains(start_hint); }, 5000)) << text().toStdString();
}

TEST_F(MapTest, ScriptsFromOutsideCannotReadLocalFiles) {
  // The Google script host and the chart host each run a script that tries every way a page has
  // to read the pilot's CONFIG.INI; a picture of our own page files shows the probe could load.
  const std::string secret = "; marca secreta 7f3a\r\n";
  const QString target = QUrl::fromLocalFile(folder.qpath() + QStringLiteral("CONFIG.INI")).toString();
  const QString probe = QStringLiteral(
      "window.probe = {};"
      "function put(k, v) { window.probe[k] = String(v); }"
      "function read(k, url) {"
      "  try { var x = new XMLHttpRequest(); x.open('GET', url); x.onload = function() { put(k, x.responseText); };"
      "    x.onerror = function() { put(k, 'error'); }; x.send(); } catch (e) { put(k, 'error'); } }"
      "read('xhr', '%1'); read('scheme', 'tolvex://app/CONFIG.INI'); read('up', 'tolvex://app/%2e%2e/CONFIG.INI');"
      "try { fetch('%1').then(function(r) { return r.text(); }).then(function(t) { put('fetch', t); },"
      "  function() { put('fetch', 'error'); }); } catch (e) { put('fetch', 'error'); }"
      "var f = document.createElement('iframe');"
      "f.onload = function() { try { put('iframe', f.contentDocument.body.innerText); } catch (e) { put('iframe', 'error'); } };"
      "f.src = '%1'; (document.body || document.documentElement).appendChild(f);"
      "var own = new Image(); own.onload = function() { put('own', 'load'); }; own.onerror = function() { put('own', 'error'); };"
      "own.src = 'AvionN.png';")
                            .arg(target);
  FakeWebHost host;
  host.serve(QStringLiteral("/linkchart.js"), probe.toUtf8());
  host.serve(QStringLiteral("/maps/api/js"), probe.toUtf8());
  start_connected(secret, "[MAPAS]\r\nPROVEEDOR=google\r\nGOOGLEJS=http://" + host.host() +
                              "/maps/api/js\r\nSKYVECTOR=" + host.host() + "\r\n");
  // A blocked frame may never report at all; the other ways always answer.
  auto results = [&] {
    return page("window.probe && ['xhr', 'fetch', 'scheme', 'up', 'own'].every(function(k) { return k in window.probe; })"
                " ? JSON.stringify(window.probe) : ''").toString();
  };
  for (const char* kind : {"google", "chart"}) {
    if (std::string(kind) == "chart") {
      window->cambiarClick();
      ASSERT_TRUE(wait_page());
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return !results().isEmpty(); }, 10000))
        << kind << ": the host's script ran: " << page("JSON.stringify(window.probe)").toString().toStdString();
    QTest::qWait(500);
    EXPECT_FALSE(results().contains(QStringLiteral("marca secreta"))) << kind << results().toStdString();
    EXPECT_EQ(page("window.probe.own").toString(), QStringLiteral("load")) << kind;
  }
}

TEST_F(MapTest, APageThatCannotBeBuiltIsToldOnceAndPollingGoesOn) {
  start_connected();
  // The VFR points cannot be read: every rebuild fails, the pilot hears of it once.
  ASSERT_TRUE(QDir(folder.qpath()).mkdir(QStringLiteral("PuntosVFR.txt")));
  for (int i = 0; i < 2; ++i) {
    window->ActualizarClick();
    EXPECT_TRUE(window->Timer_auto.isActive()) << i;
  }
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].rfind("No se ha podido preparar el mapa: No se ha podido leer el fichero ", 0), 0u) << messages[0];
  // Once a page loads again, the next failure is told again.
  ASSERT_TRUE(QDir(folder.qpath()).rmdir(QStringLiteral("PuntosVFR.txt")));
  window->ActualizarClick();
  ASSERT_TRUE(wait_page());
  ASSERT_TRUE(QDir(folder.qpath()).mkdir(QStringLiteral("PuntosVFR.txt")));
  window->ActualizarClick();
  EXPECT_EQ(messages.size(), 2u);
}

// Airspaces and VFR points on the live page.
class OverlayTest : public MapTest {
 protected:
  void SetUp() override {
    MapTest::SetUp();
    folder.write("airspaces.txt",
                 "* prueba\r\nAC R\r\nAN LED 71\r\nSP 0,2,ROJO\r\nDP -3.75,40.45\r\nDP -3.70,40.50\r\nDP -3.65,40.45\r\n"
                 "DA 5,10,20\r\nDP -3.6,40.4\r\nDP -3.55,40.45\r\n"
                 "AC P\r\nAN O'Neill </script>\r\nDP -3.8,40.3\r\nDP -3.7,40.35\r\n"
                 "AC Q\r\nAN No seleccionada\r\nDP -3.9,40.2\r\nDP -3.8,40.25\r\n");
    folder.write("airspsel.txt", "LED 71\r\nO'Neill </script>\r\n");
    folder.write("PuntosVFR.txt",
                 "Norte|40,5|-3,7\r\nSur|40.3|-3.7\r\n\"Comillas\" \\ </script>|40.45|-3.75\r\nmala|x|y\r\n");
  }
};

TEST_F(OverlayTest, SelectedAirspacesAreDrawnInTheirColours) {
  start_connected("VERAIRSPACES=S\r\n");
  ASSERT_TRUE(QTest::qWaitFor([&] { return page("espacios.length").toInt() == 3; }, 5000))
      << page("espacios.length").toInt();
  EXPECT_EQ(page("nomespacios.join('|')").toString(), QStringLiteral("LED 71|LED 71|O'Neill </script>"));
  EXPECT_EQ(page("espacios[0].get('strokeColor')").toString(), QStringLiteral("#FF0000"));
  EXPECT_EQ(page("espacios[2].get('strokeColor')").toString(), QStringLiteral("#FF0000"));
  EXPECT_EQ(page("espacios[0].getPath().getLength()").toInt(), 4) << "three points closed back to the first";
}

TEST_F(OverlayTest, AirspacesOffDrawsNothing) {
  start_connected("VERAIRSPACES=N\r\n");
  EXPECT_FALSE(window->TimerEA.isActive());
  QTest::qWait(400);
  EXPECT_EQ(page("espacios.length").toInt(), 0);
}

TEST_F(OverlayTest, VfrPointsShowOneSecondAfterLoad) {
  start_connected("PUNTOSVFR=S\r\n");
  EXPECT_EQ(page("gmarkers.length").toInt(), 3);
  ASSERT_TRUE(QTest::qWaitFor([&] { return !window->Timer_PuntosVFR.isActive(); }, 3000));
  ASSERT_TRUE(QTest::qWaitFor(
      [&] { return page("gmarkers.filter(function(m){return m.getMap()!==null;}).length").toInt() == 3; }, 3000));
  EXPECT_TRUE(page("document.body.innerHTML.indexOf('\"Comillas\"') >= 0 || "
                   "document.body.innerHTML.indexOf('&quot;Comillas&quot;') >= 0")
                  .toBool())
      << "the label with quotes is shown as written";
}

TEST_F(OverlayTest, VfrPointsShowWheneverTheyAreOnAndTheSwitchesSaySo) {
  // Whatever the route switch says, with or without a route: the points show exactly when on,
  // and each switch button is pressed exactly while on, to the eye and to screen readers.
  struct Case {
    const char* config;
    const char* route;  // handed in before a refresh
    int shown;
  };
  const Case cases[] = {
      {"PUNTOSVFR=S\r\n[RUTA]\r\nVIS=S\r\n", "", 3},
      {"PUNTOSVFR=S\r\n[RUTA]\r\nVIS=N\r\n", "", 3},
      {"PUNTOSVFR=N\r\n[RUTA]\r\nVIS=S\r\n", "", 0},
      {"PUNTOSVFR=S\r\n[RUTA]\r\nVIS=S\r\n", "-3.7, 40.4\n-3.6, 40.5\n", 3},
  };
  auto shown = [&] { return page("gmarkers.filter(function(m){return m.getMap()!==null;}).length").toInt(); };
  auto pressed = [](QToolButton* b) {
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(b);
    return b->isChecked() && a && a->state().checkable && a->state().checked;
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.config) + c.route);
    start_connected("AUTOMAT=S\r\n" + std::string(c.config));
    if (*c.route) {
      window->ruta_ruta = c.route;
      window->ActualizarClick();
      ASSERT_TRUE(wait_page());
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window->Timer_PuntosVFR.isActive(); }, 3000));
    QTest::qWait(300);
    EXPECT_EQ(shown(), c.shown);
    EXPECT_EQ(pressed(window->bpuntosvfr), c.shown > 0);
    EXPECT_EQ(pressed(window->bruta), *c.route != 0);
    EXPECT_TRUE(pressed(window->seguimiento));
    EXPECT_FALSE(pressed(window->bespacios));
    if (*c.route) EXPECT_EQ(page("polyShape.getPath().getLength()").toInt(), 2);
    // One press hides what shows, and the button says so.
    window->bpuntosvfr->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return shown() == (c.shown > 0 ? 0 : 3); }, 3000));
    EXPECT_EQ(pressed(window->bpuntosvfr), c.shown == 0);
    window->close();
    window.reset();
  }
}

TEST_F(OverlayTest, AirspaceButtonTakesTheOutlinesOffAndBack) {
  start_connected("VERAIRSPACES=S\r\n");
  ASSERT_TRUE(QTest::qWaitFor([&] { return page("espacios.length").toInt() == 3; }, 5000));
  EXPECT_TRUE(window->bespacios->isChecked());
  window->bespacios->click();
  EXPECT_FALSE(window->cfg.lespaciosaereos);
  EXPECT_FALSE(window->bespacios->isChecked());
  ASSERT_TRUE(QTest::qWaitFor([&] { return page("espacios.length").toInt() == 0; }, 3000));
  window->bespacios->click();
  ASSERT_TRUE(QTest::qWaitFor([&] { return page("espacios.length").toInt() == 3; }, 3000));
  EXPECT_TRUE(window->bespacios->isChecked());
}

// A standard OpenAir file on the live page: a circle drawn in its pen, and a click on it that
// tells its name, class and limits as plain text.
TEST_F(MapTest, StandardAirspaceCircleAnswersAClick) {
  folder.write("airspaces.txt",
               "AC CTR\r\nAN <b>Torre</b>\r\nAL GND\r\nAH 2500ft MSL\r\nSP 0,3,0,128,255\r\n"
               "V X=40:24:00 N 003:42:00 W\r\nDC 2\r\n"
               "AC R\r\nAN Mala\r\nDP 40:00:00 N 003:00:00 W\r\nDP 41:61:00 N 003:00:00 W\r\nDP 40:30:00 N 003:30:00 W\r\n");
  folder.write("airspsel.txt", "<b>Torre</b>\r\n");
  start_connected("VERAIRSPACES=S\r\n");
  EXPECT_EQ(window->airspaces.size(), 1u);
  EXPECT_EQ(window->airspaces_omitidos, 1u);
  EXPECT_NE(folder.read("tolvex.log").find("airspaces.txt, línea 11: se omite el espacio aéreo \"Mala\": punto no válido"),
            std::string::npos);
  ASSERT_TRUE(QTest::qWaitFor([&] { return page("espacios.length").toInt() == 1; }, 5000));
  EXPECT_GE(page("espacios[0].getPath().getLength()").toInt(), 73) << "a circle, 5 degrees a vertex at most";
  EXPECT_EQ(page("espacios[0].get('strokeColor')").toString(), QStringLiteral("#0080FF"));
  EXPECT_EQ(page("espacios[0].get('strokeWeight')").toInt(), 3);

  // Far from the outline: nothing; on its northern edge (2 NM north of the centre): the box.
  page(QStringLiteral("google.maps.event.trigger(map, 'click', {latLng: new google.maps.LatLng(40.6, -3.7)}); 1"));
  QTest::qWait(500);
  EXPECT_FALSE(page(QStringLiteral("!!document.querySelector('.tv-espacios')")).toBool());
  page(QStringLiteral("google.maps.event.trigger(map, 'click', {latLng: new google.maps.LatLng(40.43333, -3.7)}); 1"));
  ASSERT_TRUE(QTest::qWaitFor([&] { return page(QStringLiteral("!!document.querySelector('.tv-espacios')")).toBool(); }, 3000));
  EXPECT_EQ(page(QStringLiteral("document.querySelector('.tv-espacios').innerText")).toString(),
            QStringLiteral("<b>Torre</b>\nClase CTR\nLímite superior: 2500 ft AMSL\nLímite inferior: SFC"));
  EXPECT_EQ(page(QStringLiteral("document.querySelectorAll('.tv-espacios b b').length")).toInt(), 0)
      << "the name is text, not markup";
}

}  // namespace
}  // namespace tolvex::test
