// Elevation and geocoding through the configured keyless services: a local fake answers, and a
// closed port stands for being offline.
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrlQuery>

#include "map/shim_fixture.h"

namespace tolvex::test {
namespace {

// Answers elevation and search requests the way the public services do.
class FakeMapServices {
 public:
  FakeMapServices() {
    server_.listen(QHostAddress::LocalHost, 0);
    QObject::connect(&server_, &QTcpServer::newConnection, [this] {
      while (QTcpSocket* s = server_.nextPendingConnection()) {
        QObject::connect(s, &QTcpSocket::readyRead, s, [this, s] { answer(s); });
        QObject::connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
      }
    });
  }
  quint16 port() const { return server_.serverPort(); }
  QStringList requests;

 private:
  void answer(QTcpSocket* s) {
    QByteArray& buf = pending_[s];
    buf += s->readAll();
    if (!buf.contains("\r\n\r\n")) return;
    const QByteArray target = buf.split(' ').value(1);
    pending_.remove(s);
    const QUrl url(QStringLiteral("http://x") + QString::fromLatin1(target));
    const QUrlQuery q(url);
    requests << url.path() + QLatin1Char('?') + q.toString(QUrl::FullyDecoded);
    QByteArray body, status = "200 OK";
    if (url.path() == QLatin1String("/elevation")) {
      // One value per latitude: 100, 101, ...
      const QStringList lats = q.queryItemValue(QStringLiteral("latitude")).split(QLatin1Char(','));
      QStringList values;
      for (int i = 0; i < lats.size(); ++i) values << QString::number(100 + i);
      body = "{\"elevation\":[" + values.join(QLatin1Char(',')).toLatin1() + "]}";
    } else if (url.path() == QLatin1String("/search")) {
      const QString query = q.queryItemValue(QStringLiteral("q"), QUrl::FullyDecoded);
      if (query == QStringLiteral("Madrid, España"))
        body = "[{\"lat\":\"40.4168\",\"lon\":\"-3.7038\",\"display_name\":\"Madrid, Espa\xc3\xb1" "a\","
               "\"boundingbox\":[\"40.31\",\"40.64\",\"-3.89\",\"-3.51\"]}]";
      else
        body = "[]";
    } else {
      status = "500 Internal Server Error";
      body = "oops";
    }
    s->write("HTTP/1.1 " + status + "\r\nContent-Type: application/json\r\nAccess-Control-Allow-Origin: *\r\n"
             "Content-Length: " + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
    s->disconnectFromHost();
  }

  QTcpServer server_;
  QHash<QTcpSocket*, QByteArray> pending_;
};

class ShimServicesTest : public ShimTest {
 protected:
  ShimServices services() const override {
    const std::string base = "http://127.0.0.1:" + std::to_string(fake_.port());
    ShimServices s;
    s.elevation = base + "/elevation?latitude={lat}&longitude={lng}";
    s.geocoder = base + "/search?q={query}";
    return s;
  }
  mutable FakeMapServices fake_;
};

TEST_F(ShimServicesTest, ElevationAnswersInRequestOrderAndInBatches) {
  page->run(R"JS(
    window.answers = [];
    var svc = new google.maps.ElevationService();
    svc.getElevationForLocations({locations: [new google.maps.LatLng(40.4, -3.7)]}, function (r, st) {
      answers.push(st + ':' + r.length + ':' + (r[0] && r[0].elevation) + ':' + (r[0] && r[0].location.toUrlValue()));
    });
    var many = [];
    for (var i = 0; i < 150; i++) many.push(new google.maps.LatLng(40 + i * 0.001, -3.7));
    svc.getElevationForLocations({locations: many}, function (r, st) {
      answers.push(st + ':' + r.length + ':' + r[0].elevation + ':' + r[99].elevation + ':' + r[100].elevation + ':' + r[149].location.lat().toFixed(3));
    });
    return true;
  )JS");
  ASSERT_TRUE(page->wait_until("answers.length === 2"));
  EXPECT_EQ(text("answers[0]"), "OK:1:100:40.4,-3.7");
  // 150 points go out as 100 + 50, and come back in order.
  EXPECT_EQ(text("answers[1]"), "OK:150:100:199:100:40.149");
  ASSERT_EQ(fake_.requests.size(), 3);
  EXPECT_EQ(fake_.requests[0].toStdString(), "/elevation?latitude=40.4&longitude=-3.7");
}

TEST_F(ShimServicesTest, GeocoderFindsAnAddressOrSaysZeroResults) {
  page->run(R"JS(
    window.found = [];
    var g = new google.maps.Geocoder();
    g.geocode({address: 'Madrid, España', partialmatch: true}, function (r, st) {
      found.push(st + ':' + r.length + ':' + (r[0] && r[0].geometry.location.toUrlValue()) + ':' + (r[0] && r[0].formatted_address) +
        ':' + (r[0] && r[0].geometry.viewport.contains(new google.maps.LatLng(40.5, -3.6))));
    });
    g.geocode({address: 'ningun sitio'}, function (r, st) { found.push(st + ':' + r.length); });
    g.geocode({address: '   '}, function (r, st) { found.push(st + ':' + r.length); });
    return true;
  )JS");
  ASSERT_TRUE(page->wait_until("found.length === 3"));
  EXPECT_EQ(text("found.slice().sort().join('|')"),
            "INVALID_REQUEST:0|OK:1:40.4168,-3.7038:Madrid, España:true|ZERO_RESULTS:0");
  // Only real questions reach the service.
  EXPECT_EQ(fake_.requests.size(), 2);
}

// Nothing listens on port 1: the services must fail cleanly, with Google's status names.
TEST_F(ShimTest, ServicesOfflineFailWithGoogleStatuses) {
  page->run(R"JS(
    window.offline = {};
    new google.maps.ElevationService().getElevationForLocations({locations: [new google.maps.LatLng(1, 2)]},
      function (r, st) { offline.elevation = st + ':' + r.length; });
    new google.maps.Geocoder().geocode({address: 'Madrid'}, function (r, st) { offline.geocoder = st + ':' + r.length; });
    new google.maps.ElevationService().getElevationForLocations({locations: [new google.maps.LatLng(1, 2)]})
      .then(function () { offline.promise = 'resolved'; }, function (e) { offline.promise = e.code; });
    return true;
  )JS");
  ASSERT_TRUE(page->wait_until("offline.elevation && offline.geocoder && offline.promise"));
  EXPECT_EQ(text("offline.elevation"), "UNKNOWN_ERROR:0");
  EXPECT_EQ(text("offline.geocoder"), "ERROR:0");
  EXPECT_EQ(text("offline.promise"), "UNKNOWN_ERROR");
}

}  // namespace
}  // namespace tolvex::test
