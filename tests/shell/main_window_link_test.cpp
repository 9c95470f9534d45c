// The simulator link as the pilot drives it: real TCP against the fake IOCP Server.
#include <QElapsedTimer>
#include <QTcpServer>
#include <QTimer>

#include <algorithm>
#include <functional>
#include <memory>

#include "shell/main_window_fixture.h"
#include "shell/map_notice_qt.h"
#include "simlink/iocp_client_qt.h"
#include "support/fake_iocp_server.h"

namespace tolvex::test {
namespace {

using Names = std::vector<std::string>;

class LinkTest : public MainWindowTest {
 protected:
  void start_linked(quint16 port, int greeting_ms = 500) {
    MainWindowOptions options;
    options.link_retry_ms = 300;
    start("[INICIO]\r\nDEBUG=S\r\nTIPOCONEXION=I\r\nDIRIP=127.0.0.1\r\nPUERTO=" + std::to_string(port) +
              "\r\nSONIDOS=N\r\nINTERVALO=60\r\n",
          options);
    IocpClient::Timeouts quick;
    quick.connect_ms = 2000;
    quick.greeting_ms = greeting_ms;
    quick.reply_ms = 500;
    quick.close_ms = 500;
    window->IdTCPClient->set_timeouts(quick);
    window->notice_hook = [this](const QString& text) { notices.push_back(text.toStdString()); };
  }
  void start_linked(FakeIocpServer& server) { start_linked(server.port()); }

  int count_log(const std::string& prefix) const {
    const Names log = log_lines();
    return static_cast<int>(
        std::count_if(log.begin(), log.end(), [&](const std::string& l) { return l.rfind(prefix, 0) == 0; }));
  }

  std::vector<std::string> notices;

  void connect_and_wait_page() {
    QSignalSpy loaded(window.get(), &MainWindow::map_page_loaded);
    window->conexionClick();
    ASSERT_TRUE(window->conectado);
    ASSERT_TRUE(loaded.wait(15000)) << "the first map page never loaded";
  }
};

TEST_F(LinkTest, ConnectPollsOnceAndBuildsTheFirstPage) {
  FakeIocpServer server;
  start_linked(server);
  connect_and_wait_page();

  EXPECT_DOUBLE_EQ(window->latitud, 40.47123);
  EXPECT_DOUBLE_EQ(window->longitud, -3.70912);
  EXPECT_EQ(window->heading, 270);
  EXPECT_TRUE(window->Timer_auto.isActive());
  EXPECT_TRUE(window->Timer_PuntosVFR.isActive() || !window->cfg.puntosvfr);
  EXPECT_FALSE(folder.exists("page.html")) << "the page file is removed once loaded";
  EXPECT_EQ(visible_buttons(), (Names{"conexion", "actualizar", "cambiar", "bpuntosvfr", "bruta", "bespacios", "mapnormal",
                                      "mapsatelite", "maphibrido", "maprelieve", "seguimiento", "configurar"}));
  const Names log = log_lines();
  const std::string folder_text = folder.path();
  EXPECT_TRUE(contains_in_order(
      log, {"1) Antes de conectar", "5) Conexión IOCPSERVER " + std::to_string(server.port()) + " - 127.0.0.1",
            "2) Ya conectado", "Solicitar datos al IOCPSERVER", "Datos leidos del iocpserver:40.471 | -3.709 | 270",
            "Antes de actualizar mapa", "Ruta:" + folder_text + " Head:270", "Antes del navigate",
            "Después de actualizar el mapa", "Antes del sonido"}))
      << ::testing::PrintToString(log);
  EXPECT_EQ(server.count_lines("Arn.Preg:69:70:79:"), 1);
  EXPECT_TRUE(messages.empty());
}

TEST_F(LinkTest, DisconnectSaysGoodbyeBeforeClosing) {
  FakeIocpServer server;
  start_linked(server);
  connect_and_wait_page();
  QSignalSpy loaded(window.get(), &MainWindow::map_page_loaded);
  window->conexionClick();
  EXPECT_FALSE(window->conectado);
  ASSERT_TRUE(loaded.wait(15000));
  EXPECT_EQ(visible_buttons(), (Names{"conexion", "configurar"}));

  ASSERT_TRUE(server.wait_until([&] { return server.connections_closed() == 1; }));
  const auto events = server.events();
  ASSERT_GE(events.size(), 2u);
  EXPECT_EQ(events[events.size() - 2].line, "Arn.Fin:");
  EXPECT_TRUE(events.back().closed);
  EXPECT_TRUE(contains_in_order(log_lines(), {"Antes de desconectar IOCPSERVER", "Desconectado IOCPSERVER",
                                              "Después de desconectar IOCPSERVER"}));
  // Ticks after a disconnect do nothing.
  window->Timer_autoTimer();
  EXPECT_EQ(server.count_lines("Arn.Preg:69:70:79:"), 1);
}

TEST_F(LinkTest, ClosingTheWindowWhileConnectedSaysGoodbye) {
  FakeIocpServer server;
  start_linked(server);
  connect_and_wait_page();
  window->close();
  ASSERT_TRUE(server.wait_until([&] { return server.connections_closed() == 1; }));
  EXPECT_EQ(server.count_lines("Arn.Fin:"), 1);
  EXPECT_FALSE(window->conectado);
  EXPECT_TRUE(contains_in_order(log_lines(), {"Cerrando", "Antes de desconectar IOCPSERVER",
                                              "Desconectado IOCPSERVER", "Después de desconectar IOCPSERVER"}));
}

TEST_F(LinkTest, NothingListeningOrNoSuchHostGivesTheConnectionMessage) {
  quint16 port = 0;
  {
    QTcpServer probe;
    ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
    port = probe.serverPort();
  }
  // ".invalid" names never resolve; the lookup counts toward the 5 s connect limit.
  for (const char* host : {"127.0.0.1", "simulador.invalid"}) {
    SCOPED_TRACE(host);
    messages.clear();
    start("[INICIO]\r\nDEBUG=S\r\nTIPOCONEXION=I\r\nDIRIP=" + std::string(host) + "\r\nPUERTO=" +
          std::to_string(port) + "\r\n");
    window->conexionClick();
    EXPECT_FALSE(window->conectado);
    EXPECT_EQ(messages, (Names{"No se ha podido conectar con el Flight Simulator"}));
    EXPECT_EQ(visible_buttons(), (Names{"conexion", "configurar"}));
    EXPECT_TRUE(contains_in_order(log_lines(), {"1) Antes de conectar", "3) No conectamos"}));
    window->close();
  }
}

TEST_F(LinkTest, CloseAskedForWhileConnectingRunsAfterTheConnectSteps) {
  FakeIocpServer server;
  start_linked(server);
  QSignalSpy closed(window.get(), &MainWindow::closed);
  // Comes in at the connect steps' first message pump.
  QTimer::singleShot(0, window.get(), [this] { window->close(); });
  window->conexionClick();
  EXPECT_EQ(closed.count(), 0) << "the close waited for the connect steps";
  EXPECT_EQ(server.count_lines("Arn.Preg:69:70:79:"), 1) << "the steps ran to their end";
  ASSERT_TRUE(closed.wait(5000));
  EXPECT_FALSE(window->conectado);
  ASSERT_TRUE(server.wait_until([&] { return server.count_lines("Arn.Fin:") == 1; }));
  EXPECT_TRUE(contains_in_order(log_lines(), {"2) Ya conectado", "Antes del sonido", "Cerrando",
                                              "Antes de desconectar IOCPSERVER"}))
      << ::testing::PrintToString(log_lines());
}

TEST_F(LinkTest, FsuipcIsNotAvailableHere) {
  start("[INICIO]\r\nDEBUG=S\r\nTIPOCONEXION=F\r\n");
  window->conexionClick();
  EXPECT_FALSE(window->conectado);
  EXPECT_EQ(messages, (Names{"No se ha podido conectar con el Flight Simulator"}));
  EXPECT_TRUE(contains_in_order(log_lines(), {"1) Antes de conectar", "6) Conexión FSUIPC", "3) No conectamos"}));
}

// A stalled or dropped IOCP link comes back by itself: the pilot is told once that it was lost and
// once that it is back, over the map, and the window never waits for the reconnect.
TEST_F(LinkTest, LinkComesBackByItself) {
  struct Link {
    std::unique_ptr<FakeIocpServer> server;
    std::unique_ptr<QTcpServer> silent;  // accepts and never greets
    quint16 port = 0;
  };
  struct Case {
    const char* name;
    simfeed::FeedBehaviour behaviour;
    std::function<void(Link&)> break_link;  // before the poll that finds it gone
    std::function<void(Link&)> mend_link;   // once the loss was told
    std::string reason;  // as the log says it
  };
  simfeed::FeedBehaviour stalls;
  stalls.stall_after = 1;  // every connection answers one request, then stalls (a simulator loading scenery)
  const simfeed::IocpVariables moved{4050000, -371000, 9000};
  const Case cases[] = {
      {"stalled reply", stalls, [&](Link& l) { l.server->set_sample(moved); }, [](Link&) {},
       "El IOCP Server no respondió en 500 ms"},
      {"dropped connection, server back on the same port", {}, [](Link& l) { l.server.reset(); },
       [&](Link& l) {
         // Nothing listens: attempts are refused. Then a server that never greets: attempts wait
         // for the greeting in the background. Then the IOCP Server is back.
         ASSERT_TRUE(QTest::qWaitFor([&] { return count_log("No se pudo reconectar") >= 2; }, 5000));
         l.silent = std::make_unique<QTcpServer>();
         ASSERT_TRUE(l.silent->listen(QHostAddress::LocalHost, l.port));
         ASSERT_TRUE(QTest::qWaitFor([&] { return count_log("No se pudo reconectar") >= 3; }, 10000));
         l.silent.reset();
         l.server = std::make_unique<FakeIocpServer>(simfeed::FeedBehaviour{}, moved, l.port);
       },
       "El IOCP Server cerró la conexión"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    notices.clear();
    messages.clear();
    folder.write("tolvex.log", "");
    Link link;
    link.server = std::make_unique<FakeIocpServer>(c.behaviour);
    link.port = link.server->port();
    start_linked(link.port, 1500);
    QSignalSpy receiving(window.get(), &MainWindow::link_state_changed);
    connect_and_wait_page();
    const std::string lost = "Se ha perdido la conexión con el simulador: " + c.reason + ".";

    c.break_link(link);
    window->Timer_autoTimer();  // the poll that finds the link gone
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0].rfind(lost, 0), 0u) << notices[0];
    EXPECT_TRUE(window->link_notice->isVisible());
    EXPECT_TRUE(messages.empty()) << "no box stops the map";
    EXPECT_TRUE(window->conectado);
    EXPECT_FALSE(window->receiving());
    // Later ticks and "Actualizar" send nothing to the dead connection; "Actualizar" shows the state.
    window->link_notice->clear_notice();
    window->Timer_autoTimer();
    window->ActualizarClick();
    EXPECT_EQ(window->link_notice->text().toStdString(), notices[0]);
    EXPECT_TRUE(window->link_notice->isVisible());
    EXPECT_EQ(notices.size(), 1u);
    EXPECT_EQ(count_log("Sin datos del IOCP Server: "), 1);
    EXPECT_EQ(count_log("Sin conexión con el IOCP Server"), 2);
    if (link.server) {
      EXPECT_EQ(link.server->count_lines("Arn.Preg:69:70:79:"), 2);
    }

    // The window's own loop keeps turning while the link is made again.
    QElapsedTimer since_tick;
    since_tick.start();
    qint64 longest_gap = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { longest_gap = std::max(longest_gap, since_tick.restart()); });
    ticker.start(10);
    statements.clear();
    c.mend_link(link);
    ASSERT_TRUE(QTest::qWaitFor([&] { return notices.size() == 2; }, 15000)) << ::testing::PrintToString(log_lines());
    ticker.stop();
    EXPECT_LT(longest_gap, 1000) << "a reconnect blocked the window";
    EXPECT_EQ(notices[1], "Conexión con el simulador recuperada: el mapa vuelve a seguir al avión.");
    EXPECT_TRUE(messages.empty());
    EXPECT_DOUBLE_EQ(window->latitud, 40.5);
    EXPECT_EQ(window->heading, 90);
    EXPECT_EQ(std::count_if(statements.begin(), statements.end(),
                            [](const std::string& st) { return st.rfind("MueveAvion(40.5,", 0) == 0; }),
              1)
        << ::testing::PrintToString(statements);
    EXPECT_TRUE(window->receiving());
    EXPECT_EQ(receiving.size(), 3) << "receiving, lost, back";
    const std::string where = std::to_string(link.port) + " - 127.0.0.1";
    EXPECT_TRUE(contains_in_order(log_lines(), {"Conexión con el simulador perdida: " + c.reason,
                                                "Reconectando con el IOCP Server " + where, "Reconectado con el IOCP Server",
                                                "Conexión con el simulador recuperada"}))
        << ::testing::PrintToString(log_lines());

    // A disconnect ends it all, silently.
    window->conexionClick();
    EXPECT_FALSE(window->conectado);
    EXPECT_FALSE(window->link_notice->isVisible());
    EXPECT_FALSE(window->receiving());
    EXPECT_EQ(notices.size(), 2u);
    EXPECT_TRUE(messages.empty());
    window->close();
  }
}

TEST_F(LinkTest, FirstPollFailingLeavesConnectedWithoutAPageAndPollsOn) {
  {
    simfeed::FeedBehaviour garbage;
    garbage.garbage = true;
    FakeIocpServer server(garbage);
    start_linked(server);
    window->conexionClick();
    EXPECT_TRUE(window->conectado);
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(notices, (Names{"El IOCP Server no envía una posición válida: 'basura' no es un valor entero válido. "
                              "El avión se moverá en cuanto llegue una."}));
    EXPECT_TRUE(window->Timer_auto.isActive()) << "polling goes on";
    EXPECT_EQ(visible_buttons(), (Names{"conexion", "configurar"}));
    window->conexionClick();
    EXPECT_FALSE(window->conectado);
    EXPECT_FALSE(window->link_notice->isVisible());
  }
  // The connection goes at the first poll; once the server is back the first good poll builds the map.
  notices.clear();
  simfeed::FeedBehaviour drops;
  drops.drop_after = 0;
  drops.serve_connections = 1;
  auto server = std::make_unique<FakeIocpServer>(drops);
  const quint16 port = server->port();
  start_linked(port);
  QSignalSpy loaded(window.get(), &MainWindow::map_page_loaded);
  window->conexionClick();
  EXPECT_EQ(visible_buttons(), (Names{"conexion", "configurar"}));
  ASSERT_EQ(notices.size(), 1u);
  server.reset();
  server = std::make_unique<FakeIocpServer>(simfeed::FeedBehaviour{}, simfeed::IocpVariables{4047123, -370912, 27049},
                                            port);
  ASSERT_TRUE(loaded.wait(15000));
  EXPECT_EQ(loaded.back().at(0).toBool(), true);
  EXPECT_EQ(notices.size(), 2u);
  EXPECT_DOUBLE_EQ(window->latitud, 40.47123);
  EXPECT_TRUE(window->Timer_auto.isActive());
  EXPECT_EQ(visible_buttons(), (Names{"conexion", "actualizar", "cambiar", "bpuntosvfr", "bruta", "bespacios", "mapnormal",
                                      "mapsatelite", "maphibrido", "maprelieve", "seguimiento", "configurar"}));
}

TEST_F(LinkTest, TickWhileMinimisedWaitsForTheRestore) {
  FakeIocpServer server;
  start_linked(server);
  connect_and_wait_page();
  statements.clear();
  window->minimizar_apliClick();
  window->Timer_autoTimer();
  window->Timer_autoTimer();
  EXPECT_TRUE(window->hayact);
  EXPECT_EQ(server.count_lines("Arn.Preg:69:70:79:"), 1) << "no poll while hidden";
  window->CoolTrayIconDblClick();
  EXPECT_FALSE(window->hayact);
  EXPECT_EQ(server.count_lines("Arn.Preg:69:70:79:"), 2) << "one catch-up poll on restore";
  // A restore with nothing pending polls nothing.
  window->minimizar_apliClick();
  window->CoolTrayIconDblClick();
  EXPECT_EQ(server.count_lines("Arn.Preg:69:70:79:"), 2);
}

}  // namespace
}  // namespace tolvex::test
