// The tablet view with the whole program: a real second browser opens the address a tablet
// would, and follows the aircraft the main window polls from the fake IOCP Server.
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QWebSocket>

#include "base/ini_file.h"
#include "dialogs/config_window.h"
#include "map/page_harness.h"
#include "shell/main_window_fixture.h"
#include "simlink/iocp_client_qt.h"
#include "support/accessibility_check.h"
#include "support/fake_iocp_server.h"
#include "tablet/tablet_key.h"
#include "tablet/tablet_server_qt.h"

namespace tolvex::test {
namespace {

quint16 free_tcp_port() {
  QTcpServer probe;
  probe.listen(QHostAddress::AnyIPv4, 0);
  return probe.serverPort();
}

class TabletViewTest : public MainWindowTest {
 protected:
  void start_with_tablets(const std::string& more_inicio = "") {
    folder.write("airspaces.txt",
                 "AC R\r\nAN LED 71\r\nSP 0,2,ROJO\r\nDP -3.9,40.3\r\nDP -3.8,40.5\r\nDP -3.6,40.4\r\n"
                 "AC D\r\nAN Sin elegir\r\nDP -3,40\r\nDP -3.1,40.1\r\n");
    folder.write("airspsel.txt", "LED 71\r\n");
    folder.write("PuntosVFR.txt", "Norte|40,6|-3,7\r\n");
    start("[INICIO]\r\nDEBUG=S\r\nTIPOCONEXION=I\r\nPUERTO=" + std::to_string(server->port()) +
          "\r\nSONIDOS=N\r\nINTERVALO=60\r\nVERAIRSPACES=S\r\nPUNTOSVFR=S\r\nSUAVE=N\r\n" + more_inicio +
          "[WEB]\r\nSERVIDOR=S\r\nPUERTOWEB=" + std::to_string(port) + "\r\n");
    IocpClient::Timeouts quick;
    quick.reply_ms = 500;
    quick.greeting_ms = 500;
    window->IdTCPClient->set_timeouts(quick);
    ASSERT_TRUE(wait_for([&] { return window->tablet_server && window->tablet_server->running(); }));
  }

  std::string saved_key() const {
    return IniFile(folder.file("CONFIG.INI")).read_string("WEB", "CLAVEWEB", "");
  }

  QUrl tablet_address(const std::string& key) const {
    return QUrl(QStringLiteral("http://127.0.0.1:%1/?clave=%2").arg(port).arg(QString::fromStdString(key)));
  }

  quint16 port = free_tcp_port();
  std::unique_ptr<FakeIocpServer> server = std::make_unique<FakeIocpServer>();
};

TEST_F(TabletViewTest, ATabletSeesTheLiveAircraftAirspacesAndRoute) {
  start_with_tablets();
  // The key is made on the first start with the server on, and written then.
  const std::string key = saved_key();
  EXPECT_TRUE(is_valid_key(key)) << key;
  EXPECT_EQ(window->cfg.claveweb, key);

  QSignalSpy loaded(window.get(), &MainWindow::map_page_loaded);
  window->conexionClick();
  ASSERT_TRUE(loaded.wait(15000));

  PageHarness tablet;
  tablet.view().resize(412, 732);
  tablet.bridge().load_page(tablet_address(key));
  ASSERT_TRUE(wait_for_loaded(tablet.bridge()));
  ASSERT_TRUE(tablet.wait_until(QStringLiteral("enlaceAbierto && avionVisto")));
  EXPECT_NEAR(tablet.eval(QStringLiteral("marcador.getPosition().lat()")).toDouble(), 40.47123, 1e-9);
  EXPECT_TRUE(tablet.wait_until(QStringLiteral("nomespacios.join('|') === 'LED 71'")));
  EXPECT_TRUE(tablet.wait_until(QStringLiteral("gmarkers.length === 1")));
  EXPECT_TRUE(tablet.eval(QStringLiteral("document.getElementById('aviso').hidden")).toBool());

  // Each poll moves the tablet's aircraft.
  for (int i = 1; i <= 3; ++i) {
    server->set_sample({4040000 + i * 1000, -370000, 9000 * i});
    window->Timer_autoTimer();
    EXPECT_TRUE(tablet.wait_until(QStringLiteral("Math.abs(marcador.getPosition().lat() - %1) < 1e-9 && heading === %2")
                                      .arg(40.4 + i * 0.01, 0, 'f', 5)
                                      .arg(90 * i % 360)))
        << "poll " << i;
  }

  // With the window in the tray the tablet still follows; the hidden map is left alone.
  window->minimizar_apliClick();
  statements.clear();
  server->set_sample({4050000, -370000, 4500});
  window->Timer_autoTimer();
  EXPECT_TRUE(tablet.wait_until(QStringLiteral("Math.abs(marcador.getPosition().lat() - 40.5) < 1e-9")));
  EXPECT_TRUE(statements.empty()) << statements.front();
  window->CoolTrayIconDblClick();

  // The route shown on the PC is shown on the tablet too.
  window->ruta_ruta = "-3.70, 40.40\n-3.60, 40.50\n-3.50, 40.45\n";
  window->brutaClick();
  EXPECT_TRUE(tablet.wait_until(QStringLiteral("polyShape.getPath().getLength() === 3")));
  window->brutaClick();
  EXPECT_TRUE(tablet.wait_until(QStringLiteral("polyShape.getPath().getLength() === 0")));

  // The dynamic route the pilot lays on the PC's map reaches the tablet, and its removal too.
  window->bridge->evaluate(QStringLiteral("nuevaRutaDinamica(new google.maps.LatLng(40.5, -3.5)), true"));
  EXPECT_TRUE(tablet.wait_until(QStringLiteral("marcapos && Math.abs(marcapos.getPosition().lat() - 40.5) < 1e-9 && "
                                               "rutades.getPath().getLength() === 2 && !document.getElementById('rumbo').hidden")));
  window->bridge->evaluate(QStringLiteral("marcapos.setMap(null), true"));
  EXPECT_TRUE(tablet.wait_until(QStringLiteral("!marcapos && document.getElementById('rumbo').hidden")));

  // "Movimiento suave" on the PC: the tablet's aircraft glides as well.
  EXPECT_EQ(tablet.eval(QStringLiteral("planeo === null")).toBool(), true);
  window->cfg.suave = true;
  window->publicar_estado_tableta();
  for (int i = 0; i < 2; ++i) {
    server->set_sample({4051000 + i * 100, -370000, 4500});
    window->Timer_autoTimer();
  }
  EXPECT_TRUE(tablet.wait_until(QStringLiteral("planeo !== null")));

  // Polls that fail: the tablet says so until they succeed again.
  server.reset();
  window->Timer_autoTimer();
  EXPECT_TRUE(tablet.wait_until(QStringLiteral("document.getElementById('aviso').textContent === "
                                               "'Sin datos del simulador' && !document.getElementById('aviso').hidden")));
}

TEST_F(TabletViewTest, ANewKeyDropsEveryTabletAndShutsTheOldAddress) {
  start_with_tablets();
  const std::string old_key = saved_key();
  PageHarness tablet;
  tablet.bridge().load_page(tablet_address(old_key));
  ASSERT_TRUE(wait_for_loaded(tablet.bridge()));
  ASSERT_TRUE(wait_for([&] { return window->tablet_server->tablet_count() == 1; }));

  const std::string new_key = window->nueva_clave_tableta();
  EXPECT_TRUE(is_valid_key(new_key));
  EXPECT_NE(new_key, old_key);
  EXPECT_EQ(saved_key(), new_key);
  EXPECT_TRUE(wait_for([&] { return window->tablet_server->tablet_count() == 0; }));
  EXPECT_TRUE(tablet.wait_until(QStringLiteral("document.getElementById('aviso').textContent.indexOf('clave') >= 0")));
  // The old address shows nothing any more, and the page does not keep knocking.
  pump_events(2500);
  EXPECT_EQ(window->tablet_server->tablet_count(), 0);
  tablet.bridge().load_page(tablet_address(old_key));
  EXPECT_FALSE(wait_for_loaded(tablet.bridge())) << "a refused address loads no page";
  EXPECT_FALSE(tablet.bridge().is_loaded());
}

TEST_F(TabletViewTest, APortInUseIsToldAndTheProgramGoesOn) {
  QTcpServer taken;
  ASSERT_TRUE(taken.listen(QHostAddress::AnyIPv4, port));
  start("[INICIO]\r\nDEBUG=S\r\n[WEB]\r\nSERVIDOR=S\r\nPUERTOWEB=" + std::to_string(port) + "\r\n");
  ASSERT_TRUE(wait_for([&] { return !messages.empty(); }));
  EXPECT_EQ(messages.front().rfind("No se ha podido abrir el puerto " + std::to_string(port) + " para la vista en tableta", 0),
            0u)
      << messages.front();
  EXPECT_FALSE(window->tablet_server);
}

TEST_F(TabletViewTest, TheConfigurationGroupSwitchesTheViewAndShowsItsAddress) {
  start("[INICIO]\r\nDEBUG=S\r\n");
  std::string key;
  run_on_config_window(*window, [&](ConfigWindow& w) {
    TabletGroup& g = *w.tableta;
    EXPECT_EQ(g.title(), QStringLiteral("Vista en tableta"));
    EXPECT_EQ(unnamed_controls(&w), QStringList());
    EXPECT_FALSE(g.servidor->isChecked());
    EXPECT_EQ(g.puerto->text(), QStringLiteral("8091"));
    EXPECT_TRUE(g.qr_address().isEmpty());
    // Switched on for the first time: a key is made and saved at once, and the address shows.
    g.servidor->setChecked(true);
    key = saved_key();
    EXPECT_TRUE(is_valid_key(key)) << key;
    g.puerto->setText(QString::number(port));
    const std::vector<std::string> expected = window->direcciones_tableta(port, key);
    if (expected.empty()) {
      EXPECT_EQ(g.direcciones->toPlainText(), QStringLiteral("Este equipo no tiene ninguna dirección en la red local."));
    } else {
      EXPECT_EQ(g.direcciones->toPlainText().split(QLatin1Char('\n')).first().toStdString(), expected.front());
      EXPECT_EQ(g.qr->accessibleName().toStdString(), expected.front());
      EXPECT_FALSE(g.qr->pixmap().isNull());
    }
    w.BitBtn1->click();
  });
  ASSERT_TRUE(window->tablet_server);
  EXPECT_EQ(window->tablet_server->port(), port);
  EXPECT_EQ(IniFile(folder.file("CONFIG.INI")).read_string("WEB", "SERVIDOR", ""), "S");

  // "Nueva clave" drops the open tablet at once, even when the window is cancelled afterwards.
  QWebSocket tablet;
  tablet.open(QUrl(QStringLiteral("ws://127.0.0.1:%1/enlace?clave=%2").arg(port).arg(QString::fromStdString(key))));
  ASSERT_TRUE(wait_for([&] { return window->tablet_server->tablet_count() == 1; }));
  run_on_config_window(*window, [&](ConfigWindow& w) {
    w.tableta->nueva_clave->click();
    EXPECT_NE(w.tableta->clave(), key);
    EXPECT_EQ(w.tableta->clave(), saved_key());
    w.BitBtn2->click();
  });
  EXPECT_TRUE(wait_for([&] { return window->tablet_server->tablet_count() == 0; }));
  EXPECT_NE(saved_key(), key);

  run_on_config_window(*window, [&](ConfigWindow& w) {
    w.tableta->servidor->setChecked(false);
    w.BitBtn1->click();
  });
  EXPECT_FALSE(window->tablet_server);
}

TEST_F(TabletViewTest, OffByDefault) {
  start("[INICIO]\r\nDEBUG=S\r\n");
  pump_events(200);
  EXPECT_FALSE(window->tablet_server);
  EXPECT_EQ(saved_key(), "");
}

}  // namespace
}  // namespace tolvex::test
