#include "support/fake_map_services.h"

#include <QHostAddress>
#include <QTimer>
#include <QUrl>
#include <QUrlQuery>

namespace tolvex::test {
namespace {

void reply(QTcpSocket* s, const QByteArray& status, const QByteArray& body) {
  s->write("HTTP/1.1 " + status + "\r\nContent-Type: application/json\r\nAccess-Control-Allow-Origin: *\r\n"
           "Content-Length: " + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
  s->disconnectFromHost();
}

}  // namespace

FakeMapServices::FakeMapServices() {
  server_.listen(QHostAddress::LocalHost, 0);
  QObject::connect(&server_, &QTcpServer::newConnection, [this] {
    while (QTcpSocket* s = server_.nextPendingConnection()) {
      QObject::connect(s, &QTcpSocket::readyRead, s, [this, s] { answer(s); });
      QObject::connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
    }
  });
  add_place(QStringLiteral("Madrid, España"), 40.4168, -3.7038);
}

std::string FakeMapServices::elevation_template() const {
  return "http://127.0.0.1:" + std::to_string(port()) + "/elevation?latitude={lat}&longitude={lng}";
}

std::string FakeMapServices::geocoder_template() const {
  return "http://127.0.0.1:" + std::to_string(port()) + "/search?q={query}";
}

void FakeMapServices::answer(QTcpSocket* s) {
  QByteArray& buf = pending_[s];
  buf += s->readAll();
  if (!buf.contains("\r\n\r\n")) return;
  const QByteArray target = buf.split(' ').value(1);
  pending_.remove(s);
  const QUrl url(QStringLiteral("http://x") + QString::fromLatin1(target));
  const QUrlQuery q(url);
  requests << url.path() + QLatin1Char('?') + q.toString(QUrl::FullyDecoded);
  if (url.path() == QLatin1String("/elevation")) {
    const QStringList lats = q.queryItemValue(QStringLiteral("latitude")).split(QLatin1Char(','));
    QStringList values;
    for (int i = 0; i < lats.size(); ++i) values << QString::number(100 + i);
    const QByteArray body = "{\"elevation\":[" + values.join(QLatin1Char(',')).toLatin1() + "]}";
    switch (elevation_.value(lats.value(0), Elevation::values)) {
      case Elevation::values: return reply(s, "200 OK", body);
      case Elevation::server_error: return reply(s, "500 Internal Server Error", "oops");
      case Elevation::silence: silent_ << s; return;
      case Elevation::late: {
        QPointer<QTcpSocket> later(s);
        QTimer::singleShot(1500, s, [later, body] {
          if (later) reply(later, "200 OK", body);
        });
        return;
      }
    }
  }
  if (url.path() == QLatin1String("/search") && !searches_fail_) {
    const QString query = q.queryItemValue(QStringLiteral("q"), QUrl::FullyDecoded);
    if (!places_.contains(query)) return reply(s, "200 OK", "[]");
    const auto [lat, lon] = places_.value(query);
    const QByteArray la = QByteArray::number(lat, 'g', 10), lo = QByteArray::number(lon, 'g', 10);
    return reply(s, "200 OK",
                 "[{\"lat\":\"" + la + "\",\"lon\":\"" + lo + "\",\"display_name\":\"" +
                     query.toUtf8().replace('\\', "\\\\").replace('"', "\\\"") + "\",\"boundingbox\":[\"" +
                     QByteArray::number(lat - 0.2) + "\",\"" + QByteArray::number(lat + 0.2) + "\",\"" +
                     QByteArray::number(lon - 0.2) + "\",\"" + QByteArray::number(lon + 0.2) + "\"]}]");
  }
  reply(s, "500 Internal Server Error", "oops");
}

}  // namespace tolvex::test
