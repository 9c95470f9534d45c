// The simulator link as the pilot drives it: real TCP against the fake IOCP Server.
#include <QTcpServer>
#include <QTimer>

#include <algorithm>

#include "shell/main_window_fixture.h"
#include "simlink/iocp_client_qt.h"
#include "support/fake_iocp_server.h"

namespace tolvex::test {
namespace {

using Names = std::vector<std::string>;

class LinkTest : public MainWindowTest {
 protected:
  void start_linked(FakeIocpServer& server, const std::string& more_inicio = "") {
    start("[INICIO]\r\nDEBUG=S\r\nTIPOCONEXION=I\r\nDIRIP=127.0.0.1\r\nPUERTO=" + std::to_string(server.port()) +
          "\r\nSONIDOS=N\r\nINTERVALO=60\r\n" + more_inicio);
    IocpClient::Timeouts quick;
    quick.connect_ms = 2000;
    quick.greeting_ms = 500;
    quick.reply_ms = 500;
    quick.close_ms = 500;
    window->IdTCPClient->set_timeouts(quick);
  }

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

TEST_F(LinkTest, ServerThatDiesGivesOneMessageThenDisconnectsSilently) {
  simfeed::FeedBehaviour dies;
  dies.drop_after = 1;
  dies.drop_mid_line = true;
  FakeIocpServer server(dies);
  start_linked(server);
  connect_and_wait_page();
  for (int tick = 0; tick < 4; ++tick) window->Timer_autoTimer();
  EXPECT_TRUE(window->conectado) << "a link the server ended stays connected until the pilot presses conexion";
  ASSERT_EQ(messages.size(), 1u) << ::testing::PrintToString(messages);
  EXPECT_EQ(messages[0].rfind("Opps. Se produjo una excepción no controlada: ", 0), 0u);
  const Names log = log_lines();
  EXPECT_EQ(std::count_if(log.begin(), log.end(), [](const std::string& l) { return l.rfind("Excepción: ", 0) == 0; }),
            4)
      << "the log gets every failure";

  window->conexionClick();
  EXPECT_FALSE(window->conectado);
  EXPECT_EQ(messages.size(), 1u) << "the disconnect is silent";
}

TEST_F(LinkTest, StalledServerCostsOneBoundedWait) {
  simfeed::FeedBehaviour stalls;
  stalls.stall_after = 1;
  FakeIocpServer server(stalls);
  start_linked(server);
  connect_and_wait_page();
  window->Timer_autoTimer();
  window->Timer_autoTimer();
  EXPECT_EQ(messages.size(), 1u);
  EXPECT_EQ(server.count_lines("Arn.Preg:69:70:79:"), 2) << "after the time-out later polls fail at once";
  EXPECT_TRUE(window->conectado);
}

TEST_F(LinkTest, FirstPollFailingLeavesConnectedWithoutAPage) {
  simfeed::FeedBehaviour garbage;
  garbage.garbage = true;
  FakeIocpServer server(garbage);
  start_linked(server);
  window->conexionClick();
  EXPECT_TRUE(window->conectado);
  EXPECT_EQ(messages.size(), 1u);
  EXPECT_FALSE(window->Timer_auto.isActive());
  EXPECT_EQ(visible_buttons(), (Names{"conexion", "configurar"}));
  window->conexionClick();
  EXPECT_FALSE(window->conectado);
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
