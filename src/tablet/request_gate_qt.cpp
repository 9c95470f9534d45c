#include "tablet/request_gate_qt.h"

#include <QTcpSocket>
#include <QTimer>

#include "tablet/tablet_page.h"

namespace tolvex {

RequestGate::RequestGate(Decide decide, QObject* parent) : QTcpServer(parent), decide_(std::move(decide)) {}

void RequestGate::incomingConnection(qintptr descriptor) {
  auto* socket = new QTcpSocket(this);
  if (!socket->setSocketDescriptor(descriptor)) {
    delete socket;
    return;
  }
  connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
  waiting_.removeAll(nullptr);
  if (waiting_.size() >= kMaxWaiting) {
    socket->abort();
    socket->deleteLater();
    return;
  }
  waiting_.append(socket);
  // Nothing beyond the head is ever read: the bytes stay in the socket for whoever serves them.
  socket->setReadBufferSize(static_cast<qint64>(kMaxHeadBytes) + 1);
  connect(socket, &QTcpSocket::readyRead, this, [this, socket] { examine(socket); });
  QTimer::singleShot(kHeadTimeoutMs, socket, [this, socket] {
    if (waiting_.contains(socket)) answer(socket, 408);
  });
}

void RequestGate::examine(QTcpSocket* socket) {
  if (!waiting_.contains(socket)) return;
  const QByteArray seen = socket->peek(static_cast<qint64>(kMaxHeadBytes) + 1);
  const GateDecision decision = decide_(std::string_view(seen.constData(), static_cast<std::size_t>(seen.size())));
  switch (decision.action) {
    case GateAction::wait:
      return;
    case GateAction::refuse:
      answer(socket, decision.status);
      return;
    case GateAction::socket:
      forget(socket);
      emit socket_requested(socket);
      return;
    case GateAction::page:
    case GateAction::file:
      pass_to_http(socket);
      return;
  }
}

void RequestGate::answer(QTcpSocket* socket, int status) {
  forget(socket);
  emit refused(status);
  QByteArray response = "HTTP/1.1 " + QByteArray::number(status) + ' ';
  const std::string_view reason = status_reason(status);
  response.append(reason.data(), static_cast<qsizetype>(reason.size()));
  response += "\r\n";
  for (const auto& [name, value] : refusal_headers())
    response += QByteArray::fromStdString(name) + ": " + QByteArray::fromStdString(value) + "\r\n";
  response += "\r\n";
  socket->write(response);
  socket->disconnectFromHost();
}

void RequestGate::pass_to_http(QTcpSocket* socket) {
  forget(socket);
  // The HTTP server takes the socket from the pending list and reads the head we only looked
  // at. It answers at once, so the connection ends there: a second request on it would pass by
  // this gate.
  addPendingConnection(socket);
  emit newConnection();
  if (socket->state() != QAbstractSocket::ConnectedState) return;
  emit socket->readyRead();
  socket->disconnectFromHost();
}

void RequestGate::forget(QTcpSocket* socket) {
  waiting_.removeAll(socket);
  disconnect(socket, &QTcpSocket::readyRead, this, nullptr);
}

void RequestGate::drop_waiting() {
  const QList<QPointer<QTcpSocket>> sockets = waiting_;
  waiting_.clear();
  for (const QPointer<QTcpSocket>& s : sockets)
    if (s) s->abort();
}

}  // namespace tolvex
