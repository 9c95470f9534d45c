// The network GPS link over real UDP sockets on loopback: simfeed as the simulator, and a test
// sender for what simulators should never send.
#include <QProcess>
#include <QTest>
#include <QUdpSocket>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <string>

#include "simlink/xgps_client_qt.h"
#include "support/xgps_sender.h"

namespace tolvex {
namespace {

using test::free_udp_port;
using test::RepeatingSender;
using test::send_datagrams;

std::string open_error(XgpsClient& client, std::int32_t port) {
  try {
    client.open(port);
  } catch (const std::runtime_error& e) {
    return e.what();
  }
  return "(opened)";
}

TEST(XgpsClient, TakesSimfeedsFlightOverLoopback) {
  const quint16 port = free_udp_port();
  const char* program = std::getenv("TOLVEX_SIMFEED");
  QProcess simfeed;
  simfeed.start(QString::fromLocal8Bit(program && *program ? program : SIMFEED_BUILT_PATH),
                {"--xgps", QStringLiteral("127.0.0.1:%1").arg(port)});
  ASSERT_TRUE(simfeed.waitForStarted(10000));
  XgpsClient client;
  client.set_timeouts({10000});  // a busy machine may start simfeed slowly
  client.open(port);             // its first position comes within a second
  double lat = 0, lon = 0;
  std::int32_t heading = -1;
  for (int i = 0; i < 5; ++i) {
    QTest::qWait(150);
    client.poll(lat, lon, heading);
  }
  const double k = 3.14159265358979323846 / 180;
  EXPECT_LT(std::hypot((lon + 3.7853) * std::cos(lat * k), lat - 40.3706) * k * 6378.137, 8) << lat << " " << lon;
  EXPECT_GE(heading, 0);
  EXPECT_LE(heading, 360);
  EXPECT_TRUE(client.heading_from_attitude()) << "XATT comes ten times a second";
  EXPECT_GE(client.counters().attitudes, 5);
  EXPECT_EQ(client.counters().total_ignored(), 0);
  client.close();
  simfeed.kill();
  simfeed.waitForFinished(5000);
}

// A port another program holds is covered with the main window, which logs the reason.
TEST(XgpsClient, OpenFailsWhenNoPositionComes) {
  XgpsClient client;
  client.set_timeouts({300});
  const quint16 port = free_udp_port();
  {
    RepeatingSender wrong_format(port, {"XGPSsim,-3,7;40,4;0;90;0"});
    EXPECT_EQ(open_error(client, port).rfind("No llegan posiciones del simulador (XGPS) al puerto UDP " +
                                                 std::to_string(port) + ".",
                                             0),
              0u);
  }
  EXPECT_FALSE(client.is_open());
  EXPECT_GT(client.counters().ignored[static_cast<std::size_t>(XgpsRejection::missing_words)], 0);
}

TEST(XgpsClient, GarbageAndFloodsAreCountedNeverFatal) {
  XgpsClient client;
  client.set_clock([] { return std::int64_t{0}; });  // however long the flood takes to send
  const quint16 port = free_udp_port();
  const quint16 sim = free_udp_port();  // the simulator's own port, whatever it sends
  {
    RepeatingSender simulator(port, {"XGPSsim,-3.7,40.1,1000,90,50"}, 20, sim);
    client.open(port);
  }
  send_datagrams(port, {"XTRAFFICsim,1,40,-3,1000,0,1,90,100,ABC", "XGPSsim,1,2,3,4", "XGPSsim,1,2,3,4,5,6",
                        "XATTsim,NaN,0,0", "XGPSsim,1,95,3,4,5", "XGPS" + std::string(2000, 'n') + ",1,2,3,4,5"},
                 sim);
  send_datagrams(port, {"XGPSotro,1,2,3,4,5"});  // another simulator
  double lat = 0, lon = 0;
  std::int32_t heading = -1;
  QTest::qWait(50);
  client.poll(lat, lon, heading);
  EXPECT_DOUBLE_EQ(lat, 40.1);
  EXPECT_EQ(heading, 90);
  for (std::size_t kind = 0; kind < kXgpsRejectionKinds; ++kind)
    EXPECT_EQ(client.counters().ignored[kind], 1) << "rejection kind " << kind;
  EXPECT_EQ(client.ignored_report(), ignored_summary(client.counters()));
  EXPECT_EQ(client.ignored_report(), std::nullopt) << "reported once until the count changes";

  // A flood: the system drops what its buffer cannot hold, each read takes a bounded number,
  // and the link goes on with the next good position.
  send_datagrams(port, std::vector<std::string>(50000, "XTRAFFICsim,1,40,-3,1000,0,1,90,100,ABC"), sim);
  QTest::qWait(50);
  client.poll(lat, lon, heading);
  EXPECT_DOUBLE_EQ(lat, 40.1);
  EXPECT_GT(client.counters().ignored[static_cast<std::size_t>(XgpsRejection::unknown_prefix)], 1);
  EXPECT_LE(client.counters().total_ignored(), 50005);
  send_datagrams(port, {"XGPSsim,-3.7,40.2,1000,180,50"}, sim);
  QTest::qWait(50);
  client.poll(lat, lon, heading);
  EXPECT_DOUBLE_EQ(lat, 40.2);
  EXPECT_EQ(heading, 180);
}

// A second X-Plane on the network: the aircraft follows the first until it stops for 3 s.
TEST(XgpsClient, FollowsTheFirstSimulatorUntilItIsSilent) {
  std::int64_t now = 0;
  XgpsClient client;
  client.set_clock([&] { return now; });
  const quint16 port = free_udp_port();
  const quint16 first_port = free_udp_port();
  const quint16 second_port = free_udp_port();
  auto first = std::make_unique<RepeatingSender>(port, std::vector<std::string>{"XGPSa,-3.7,40.1,1000,90,50"}, 10,
                                                 first_port);
  client.open(port);
  RepeatingSender second(port, {"XGPSb,2.1,41.3,1000,180,50", "XATTb,200,0,0"}, 10, second_port);
  double lat = 0, lon = 0;
  std::int32_t heading = -1;
  for (int i = 0; i < 5; ++i) {
    QTest::qWait(30);
    client.poll(lat, lon, heading);
    EXPECT_DOUBLE_EQ(lat, 40.1);
    EXPECT_EQ(heading, 90);
  }
  EXPECT_EQ(client.sender_report(), "Posiciones por red (XGPS) de 127.0.0.1:" + std::to_string(first_port));
  EXPECT_EQ(client.sender_report(), std::nullopt) << "told once";
  EXPECT_GT(client.counters().ignored[static_cast<std::size_t>(XgpsRejection::other_sender)], 5);

  first.reset();
  client.poll(lat, lon, heading);  // what it sent last, read at the time it came
  now += 3001;
  QTest::qWait(50);
  client.poll(lat, lon, heading);
  EXPECT_DOUBLE_EQ(lat, 41.3);
  EXPECT_EQ(heading, 200);
  EXPECT_EQ(client.sender_report(), "Posiciones por red (XGPS) de 127.0.0.1:" + std::to_string(second_port));
}

}  // namespace
}  // namespace tolvex
