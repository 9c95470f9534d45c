#pragma once
// The tablet server's front door: a TCP server that reads the head of each request itself,
// bounded, and lets through only what tablet/request_gate.h allows. Qt's HTTP server (6.4)
// reads heads of any size and bodies into memory, and upgrades any request to a WebSocket, so
// it is bound to this gate and sees only requests already checked, one per connection.
#include <QList>
#include <QPointer>
#include <QTcpServer>

#include <functional>
#include <string_view>

#include "tablet/request_gate.h"

class QTcpSocket;

namespace tolvex {

class RequestGate : public QTcpServer {
  Q_OBJECT

 public:
  // The decision for the bytes a connection has sent so far.
  using Decide = std::function<GateDecision(std::string_view bytes)>;

  // A head not complete by then is answered with 408.
  static constexpr int kHeadTimeoutMs = 10000;
  // Connections still sending their head; more are closed at once.
  static constexpr int kMaxWaiting = 32;

  RequestGate(Decide decide, QObject* parent = nullptr);

  // Closes every connection still sending its head (a new key: nothing asked with the old one
  // gets through any more).
  void drop_waiting();

 signals:
  // A checked WebSocket request, its head still unread in the socket: the caller takes it.
  void socket_requested(QTcpSocket* socket);
  void refused(int status);

 protected:
  void incomingConnection(qintptr descriptor) override;

 private:
  void examine(QTcpSocket* socket);
  void answer(QTcpSocket* socket, int status);
  void pass_to_http(QTcpSocket* socket);
  void forget(QTcpSocket* socket);

  Decide decide_;
  QList<QPointer<QTcpSocket>> waiting_;
};

}  // namespace tolvex
