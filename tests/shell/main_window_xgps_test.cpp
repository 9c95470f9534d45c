// The network GPS link as the pilot drives it: real UDP on loopback, a clock the test moves on.
#include <QUdpSocket>

#include <algorithm>
#include <chrono>

#include "shell/main_window_fixture.h"
#include "simlink/xgps_client_qt.h"
#include "support/xgps_sender.h"

namespace tolvex::test {
namespace {

using Names = std::vector<std::string>;

std::string xgps_config(quint16 port) {
  return "[INICIO]\r\nDEBUG=S\r\nTIPOCONEXION=X\r\nPUERTOUDP=" + std::to_string(port) +
         "\r\nSONIDOS=N\r\nINTERVALO=60\r\n";
}

class XgpsLinkTest : public MainWindowTest {
 protected:
  std::vector<std::string> notices;
};

TEST_F(XgpsLinkTest, PollsTheNewestPositionAndTellsOncePerSilence) {
  const quint16 port = free_udp_port();
  auto simulator = std::make_unique<RepeatingSender>(port, std::vector<std::string>{"XGPSsim,-3.70912,40.47123,700,270.4,50"});
  start(xgps_config(port));
  window->notice_hook = [this](const QString& text) { notices.push_back(text.toStdString()); };
  std::int64_t skipped_ms = 0;  // time the test makes pass at once
  window->xgps_client->set_clock([&] {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return std::chrono::duration_cast<std::chrono::milliseconds>(now).count() + skipped_ms;
  });
  QSignalSpy loaded(window.get(), &MainWindow::map_page_loaded);
  window->conexionClick();
  ASSERT_TRUE(window->conectado);
  ASSERT_TRUE(loaded.wait(15000)) << "the first map page never loaded";
  EXPECT_DOUBLE_EQ(window->latitud, 40.47123);
  EXPECT_DOUBLE_EQ(window->longitud, -3.70912);
  EXPECT_EQ(window->heading, 270);
  EXPECT_TRUE(window->Timer_auto.isActive());
  EXPECT_TRUE(contains_in_order(log_lines(), {"1) Antes de conectar", "7) Conexión XGPS " + std::to_string(port),
                                              "2) Ya conectado", "Solicitar datos por red (XGPS)",
                                              "Datos leidos de la red (XGPS):40.471 | -3.709 | 270"}))
      << ::testing::PrintToString(log_lines());

  const Names first_log = log_lines();
  EXPECT_EQ(std::count_if(first_log.begin(), first_log.end(),
                          [](const std::string& l) { return l.rfind("Posiciones por red (XGPS) de 127.0.0.1:", 0) == 0; }),
            1)
      << "the sender taken is logged once";

  // The simulator stops: one notice over the map for the streak, no box, every failure in the log.
  simulator.reset();
  QTest::qWait(100);  // what was sent is read as it arrives, at the time it arrives
  skipped_ms += 4000;
  for (int tick = 0; tick < 3; ++tick) window->Timer_autoTimer();
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_EQ(notices[0].rfind("No llegan posiciones del simulador (XGPS) al puerto UDP " + std::to_string(port) +
                                 " desde hace 4 s. Compruebe que el simulador sigue en marcha y enviándolas a este equipo.",
                             0),
            0u)
      << notices[0];
  EXPECT_TRUE(messages.empty()) << "no box stops the map";
  EXPECT_TRUE(window->conectado);
  const Names log = log_lines();
  EXPECT_EQ(std::count_if(log.begin(), log.end(),
                          [](const std::string& l) { return l.rfind("Sin datos por red (XGPS): ", 0) == 0; }),
            3);

  // It comes back with the aircraft turned: the map moves again, and the next silence is told.
  simulator = std::make_unique<RepeatingSender>(port, std::vector<std::string>{"XGPSsim,-3.7,40.5,700,90,50"});
  QTest::qWait(100);
  statements.clear();
  window->Timer_autoTimer();
  EXPECT_DOUBLE_EQ(window->latitud, 40.5);
  EXPECT_EQ(window->heading, 90);
  EXPECT_EQ(std::count_if(statements.begin(), statements.end(),
                          [](const std::string& s) { return s.rfind("MueveAvion(40.5,", 0) == 0; }),
            1)
      << ::testing::PrintToString(statements);
  ASSERT_EQ(notices.size(), 2u);
  EXPECT_EQ(notices[1], "Vuelven a llegar posiciones del simulador: el mapa vuelve a seguir al avión.");
  simulator.reset();
  QTest::qWait(100);
  skipped_ms += 4000;
  window->Timer_autoTimer();
  EXPECT_EQ(notices.size(), 3u);
  EXPECT_TRUE(messages.empty());

  window->conexionClick();
  EXPECT_FALSE(window->conectado);
  EXPECT_TRUE(contains_in_order(log_lines(), {"Antes de desconectar XGPS", "Después de desconectar XGPS"}));
  QUdpSocket next_program;
  EXPECT_TRUE(next_program.bind(QHostAddress::AnyIPv4, port)) << "the port is let go";
}

TEST_F(XgpsLinkTest, PortTakenGivesTheConnectionMessageAndTheReasonInTheLog) {
  QUdpSocket other_program;
  ASSERT_TRUE(other_program.bind(QHostAddress::AnyIPv4, 0));
  const std::string port = std::to_string(other_program.localPort());
  start(xgps_config(other_program.localPort()));
  window->conexionClick();
  EXPECT_FALSE(window->conectado);
  EXPECT_EQ(messages, (Names{"No se ha podido conectar con el Flight Simulator"}));
  EXPECT_EQ(visible_buttons(), (Names{"conexion", "configurar"}));
  EXPECT_TRUE(contains_in_order(log_lines(), {"7) Conexión XGPS " + port,
                                              "No se pudo conectar por red (XGPS): No se pudo abrir el puerto UDP " +
                                                  port + " (el puerto ya está en uso por otro programa)",
                                              "3) No conectamos"}))
      << ::testing::PrintToString(log_lines());
}

}  // namespace
}  // namespace tolvex::test
