#include "simlink/iocp_client_qt.h"

#include <QDeadlineTimer>
#include <QHostAddress>
#include <QTcpSocket>
#include <QThread>

#include <stdexcept>

namespace tolvex {
namespace {

std::string seconds_text(int ms) {
  // Whole seconds when possible ("5 s"), else milliseconds ("300 ms").
  if (ms % 1000 == 0) return std::to_string(ms / 1000) + " s";
  return std::to_string(ms) + " ms";
}

std::string socket_error_text(const QTcpSocket& socket) {
  switch (socket.error()) {
    case QAbstractSocket::ConnectionRefusedError: return "conexión rechazada";
    case QAbstractSocket::HostNotFoundError: return "no se encuentra el servidor";
    case QAbstractSocket::RemoteHostClosedError: return "el servidor cerró la conexión";
    case QAbstractSocket::NetworkError: return "error de red";
    case QAbstractSocket::SocketTimeoutError: return "tiempo de espera agotado";
    default: return socket.errorString().toStdString();
  }
}

const std::string kClosedByServer = "El IOCP Server cerró la conexión";

}  // namespace

IocpClient::IocpClient() = default;

IocpClient::~IocpClient() {
  if (socket_) socket_->abort();
}

bool IocpClient::is_alive() const {
  return socket_ && !dead_ && socket_->state() == QAbstractSocket::ConnectedState;
}

void IocpClient::open(const std::string& host, std::int32_t port) {
  if (socket_) drop_connection();
  socket_.reset();
  framer_.clear();
  dead_ = false;
  dead_reason_.clear();
  const std::string where = host + ":" + std::to_string(port);
  if (port < 1 || port > 65535)
    throw std::runtime_error("Puerto no válido para el IOCP Server: " + std::to_string(port));

  auto socket = std::make_unique<QTcpSocket>();
  socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
  socket->connectToHost(QString::fromStdString(host), static_cast<quint16>(port), QIODevice::ReadWrite,
                        QAbstractSocket::IPv4Protocol);
  if (!socket->waitForConnected(timeouts_.connect_ms)) {
    const std::string reason = socket->error() == QAbstractSocket::SocketTimeoutError
                                   ? "sin respuesta en " + seconds_text(timeouts_.connect_ms)
                                   : socket_error_text(*socket);
    socket->abort();
    throw std::runtime_error("No se pudo conectar con el IOCP Server en " + where + " (" + reason + ")");
  }
  socket_ = std::move(socket);

  // The first line only says who the server is; it carries nothing we need.
  switch (wait_for_line(timeouts_.greeting_ms)) {
    case Wait::line: framer_.next_line(); return;
    case Wait::timeout:
      drop_connection();
      socket_.reset();
      throw std::runtime_error("El IOCP Server de " + where + " no envió su primera línea en " +
                               seconds_text(timeouts_.greeting_ms));
    case Wait::closed:
      drop_connection();
      socket_.reset();
      throw std::runtime_error("El IOCP Server de " + where + " cerró la conexión antes de saludar");
  }
}

void IocpClient::poll(double& latitud, double& longitud, std::int32_t& heading) {
  if (!socket_) throw std::runtime_error("No hay conexión con el IOCP Server");
  if (dead_) throw std::runtime_error(dead_reason_);

  // Lines that came in since the last poll cannot answer this request: keep-alives get their
  // answer, anything else is dropped.
  read_available();
  while (auto line = framer_.next_line())
    if (is_keepalive(*line)) send_line(kIocpKeepAlive);
  if (socket_->state() != QAbstractSocket::ConnectedState) fail_dropping(kClosedByServer);

  send_line(kIocpRequest);
  const QDeadlineTimer deadline(timeouts_.reply_ms);
  for (;;) {
    switch (wait_for_line(static_cast<int>(deadline.remainingTime()))) {
      case Wait::timeout:
        // A reply that comes later must not be taken for the next poll's, and a stalled server
        // should cost one wait, not one per poll.
        fail_dropping("El IOCP Server no respondió en " + seconds_text(timeouts_.reply_ms));
      case Wait::closed: fail_dropping(kClosedByServer);
      case Wait::line: break;
    }
    std::string line = *framer_.next_line();
    if (is_keepalive(line)) {
      send_line(kIocpKeepAlive);
      continue;
    }
    parse_iocp_reply(line, latitud, longitud, heading);
    return;
  }
}

void IocpClient::close() {
  if (!socket_) return;
  std::unique_ptr<QTcpSocket> socket = std::move(socket_);
  framer_.clear();
  const bool was_dead = dead_;
  const std::string reason = dead_reason_;
  dead_ = false;
  dead_reason_.clear();
  if (was_dead || socket->state() != QAbstractSocket::ConnectedState) {
    socket->abort();
    throw std::runtime_error(was_dead ? reason : kClosedByServer);
  }
  std::string goodbye(kIocpGoodbye);
  goodbye += kIocpLineEnd;
  bool sent = socket->write(goodbye.data(), static_cast<qint64>(goodbye.size())) ==
              static_cast<qint64>(goodbye.size());
  const QDeadlineTimer deadline(timeouts_.close_ms);
  while (sent && socket->bytesToWrite() > 0 && socket->state() == QAbstractSocket::ConnectedState &&
         !deadline.hasExpired())
    socket->waitForBytesWritten(static_cast<int>(deadline.remainingTime()));
  sent = sent && socket->bytesToWrite() == 0;
  if (!sent) {
    const std::string reason = socket_error_text(*socket);
    socket->abort();
    throw std::runtime_error("No se pudo enviar la despedida al IOCP Server: " + reason);
  }
  // Whatever the server sent meanwhile is read first: closing with unread data would reset
  // the connection, and the goodbye could be lost with it.
  socket->waitForReadyRead(0);
  socket->readAll();
  socket->disconnectFromHost();
  socket->abort();  // nothing left to write; do not linger
  socket.reset();
  if (on_disconnected_) on_disconnected_();
}

IocpClient::Wait IocpClient::wait_for_line(int timeout_ms) {
  const QDeadlineTimer deadline(std::max(timeout_ms, 0));
  for (;;) {
    read_available();
    if (framer_.has_line()) return Wait::line;
    if (socket_->state() != QAbstractSocket::ConnectedState) return Wait::closed;
    if (deadline.hasExpired()) return Wait::timeout;
    if (!socket_->waitForReadyRead(static_cast<int>(deadline.remainingTime())) && socket_->bytesAvailable() == 0 &&
        socket_->state() == QAbstractSocket::ConnectedState && !deadline.hasExpired()) {
      // Woken with nothing to read and still connected (Qt warns this can happen on Windows):
      // wait on until the deadline.
      QThread::msleep(1);
    }
  }
}

void IocpClient::read_available() {
  char buffer[16 * 1024];
  for (;;) {
    const qint64 n = socket_->read(buffer, sizeof buffer);
    if (n <= 0) return;
    try {
      framer_.feed(std::string_view(buffer, static_cast<std::size_t>(n)));
    } catch (const std::runtime_error& e) {
      fail_dropping(e.what());
    }
  }
}

void IocpClient::send_line(std::string_view line) {
  std::string bytes(line);
  bytes += kIocpLineEnd;
  if (socket_->write(bytes.data(), static_cast<qint64>(bytes.size())) != static_cast<qint64>(bytes.size()))
    fail_dropping(kClosedByServer);
  socket_->flush();
}

void IocpClient::drop_connection() {
  if (socket_) socket_->abort();
  framer_.clear();
}

void IocpClient::fail_dropping(const std::string& message) {
  drop_connection();
  dead_ = true;
  dead_reason_ = message;
  throw std::runtime_error(message);
}

}  // namespace tolvex
