#include "support/fake_web_host.h"

#include <QTcpSocket>

#include <stdexcept>

namespace tolvex::test {

FakeWebHost::FakeWebHost(Mode mode) : mode_(mode) {
  if (!server_.listen(QHostAddress::LocalHost, 0)) throw std::runtime_error("the fake web host cannot listen");
  connect(&server_, &QTcpServer::newConnection, this, [this] {
    while (QTcpSocket* s = server_.nextPendingConnection()) {
      ++connections_;
      if (mode_ == Mode::silent) continue;  // kept open, never read, never answered
      connect(s, &QTcpSocket::readyRead, s, [this, s] {
        QByteArray head = s->property("head").toByteArray() + s->readAll();
        s->setProperty("head", head);
        if (!head.contains("\r\n\r\n")) return;
        const QString path = QString::fromLatin1(head.split(' ').value(1)).section(QLatin1Char('?'), 0, 0);
        const auto found = bodies_.constFind(path);
        const QByteArray body = found == bodies_.cend() ? QByteArray() : found->first;
        s->write((found == bodies_.cend() ? "HTTP/1.1 404 Not Found\r\n" : "HTTP/1.1 200 OK\r\n") +
                 QByteArray("Content-Type: ") + (found == bodies_.cend() ? "text/plain" : found->second) +
                 "\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
        s->disconnectFromHost();
      });
      connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
    }
  });
}

void FakeWebHost::serve(const QString& path, const QByteArray& body, const QByteArray& type) {
  bodies_.insert(path, {body, type});
}

std::string FakeWebHost::host() const { return "127.0.0.1:" + std::to_string(port()); }

}  // namespace tolvex::test
