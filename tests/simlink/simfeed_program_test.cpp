// The simfeed program itself, as scripts/run starts it, polled by the real client.
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>

#include "simlink/iocp_client_qt.h"

namespace tolvex {
namespace {

QString simfeed_program() {
  const char* program = std::getenv("TOLVEX_SIMFEED");
  return QString::fromLocal8Bit(program && *program ? program : SIMFEED_BUILT_PATH);
}

class Simfeed {
 public:
  explicit Simfeed(QStringList args) {
    process_.start(simfeed_program(), QStringList{"--port", "0"} + args);
    // It tells which port it got: "simfeed: escuchando en 127.0.0.1:NNNN".
    const QRegularExpression listening(":(\\d+)\\s*$");
    while (port_ == 0 && process_.waitForReadyRead(10000)) {
      while (process_.canReadLine()) {
        const auto match = listening.match(QString::fromUtf8(process_.readLine()));
        if (match.hasMatch()) port_ = static_cast<quint16>(match.captured(1).toUInt());
      }
    }
  }
  ~Simfeed() {
    process_.kill();
    process_.waitForFinished(5000);
  }
  quint16 port() const { return port_; }

 private:
  QProcess process_;
  quint16 port_ = 0;
};

double distance_km(double lat1, double lon1, double lat2, double lon2) {
  const double k = 3.14159265358979323846 / 180;
  return std::hypot((lon2 - lon1) * k * std::cos(lat1 * k), (lat2 - lat1) * k) * 6378.137;
}

TEST(SimfeedProgram, FliesNearMadridWhateverItsManners) {
  const QStringList manners[] = {{}, {"--lf-only", "--split"}, {"--keepalive-between", "--keepalive-ms", "50"}};
  for (const QStringList& args : manners) {
    SCOPED_TRACE(args.join(' ').toStdString());
    Simfeed feed(args);
    ASSERT_NE(feed.port(), 0);
    IocpClient client;
    client.open("127.0.0.1", feed.port());
    double lat = 0, lon = 0;
    std::int32_t heading = -1;
    for (int i = 0; i < 3; ++i) client.poll(lat, lon, heading);
    EXPECT_LT(distance_km(lat, lon, 40.3706, -3.7853), 8);  // Cuatro Vientos
    EXPECT_GE(heading, 0);
    EXPECT_LE(heading, 360);
    client.close();
  }
}

TEST(SimfeedProgram, FliesARouteFile) {
  QTemporaryDir dir;
  const QString route = dir.filePath("ruta.txt");
  {
    QFile f(route);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("120|12,5\r\n2.0785, 41.2971\n2.1734, 41.3851\n\r\n");  // Barcelona
  }
  Simfeed feed({"--route", route});
  ASSERT_NE(feed.port(), 0);
  IocpClient client;
  client.open("127.0.0.1", feed.port());
  double lat = 0, lon = 0;
  std::int32_t heading = -1;
  client.poll(lat, lon, heading);
  EXPECT_LT(distance_km(lat, lon, 41.2971, 2.0785), 2);
  EXPECT_NEAR(heading, 37, 5);  // heading for the second point, north-east
  client.close();
}

TEST(SimfeedProgram, RefusesABadRouteFile) {
  QTemporaryDir dir;
  const QString route = dir.filePath("mala.txt");
  {
    QFile f(route);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("120|12,5\nno es un punto\n");
  }
  QProcess process;
  process.start(simfeed_program(), {"--port", "0", "--route", route});
  ASSERT_TRUE(process.waitForFinished(10000));
  EXPECT_NE(process.exitCode(), 0);
  EXPECT_TRUE(process.readAllStandardError().contains("Línea 2"));
}

}  // namespace
}  // namespace tolvex
