#include "simlink/iocp_client_qt.h"

#include <QDeadlineTimer>
#include <QHostAddress>
#include <QTcpSocket>
#include <QThread>

#include <algorithm>
#include <stdexcept>

#include "platform/platform.h"
#include "simlink/iocp_connect_qt.h"

namespace tolvex {
namespace {

// How often a wait looks whether it is to be interrupted.
constexpr int kSliceMs = 50;

const std::string kClosedByServer = "El IOCP Server cerró la conexión";
const std::string kClosing = "Tolvex se está cerrando";

}  // namespace

// Marks the client as inside an exchange: data that comes meanwhile belongs to it, not to the
// between-exchanges drain (which a blocking wait would otherwise call from inside itself).
class IocpClient::Busy {
 public:
  explicit Busy(bool& flag) : flag_(flag), was_(flag) { flag_ = true; }
  ~Busy() { flag_ = was_; }
  Busy(const Busy&) = delete;
  Busy& operator=(const Busy&) = delete;

 private:
  bool& flag_;
  bool was_;
};

bool IocpClient::is_alive() const {
  return socket_ && !dead_ && socket_->state() == QAbstractSocket::ConnectedState;
}

std::int64_t IocpClient::buffered_bytes() const {
  return static_cast<std::int64_t>(framer_.pending_bytes()) + (socket_ ? socket_->bytesAvailable() : 0);
}

std::int64_t IocpClient::unsent_bytes() const { return socket_ ? socket_->bytesToWrite() : 0; }

void IocpClient::adopt_socket(std::unique_ptr<QTcpSocket> socket) {
  // Our lines are short: a small system buffer is plenty, and a server that stops reading is
  // found out before much waits unsent.
  socket->setSocketOption(QAbstractSocket::SendBufferSizeSocketOption, static_cast<int>(kSystemSendBufferBytes));
  socket_ = std::move(socket);
  QObject::connect(socket_.get(), &QTcpSocket::readyRead, socket_.get(), [this] { drain_between_exchanges(); });
}

int IocpClient::wait_slice(int remaining_ms) const {
  remaining_ms = std::max(remaining_ms, 0);
  return interrupted_ ? std::min(remaining_ms, kSliceMs) : remaining_ms;
}

void IocpClient::open(const std::string& host, std::int32_t port) {
  Busy busy(busy_);
  cancel_reopen();
  host_ = host;
  port_ = port;
  if (socket_) drop_connection();
  socket_.reset();
  framer_.clear();
  keepalive_owed_ = false;
  dead_ = false;
  dead_reason_.clear();
  const std::string where = host + ":" + std::to_string(port);
  if (port < 1 || port > 65535)
    throw std::runtime_error("Puerto no válido para el IOCP Server: " + std::to_string(port));

  // One limit for finding the host and connecting to it.
  const QDeadlineTimer deadline(timeouts_.connect_ms);
  const QHostAddress address = resolve(host, timeouts_.connect_ms, where);
  auto socket = std::make_unique<QTcpSocket>();
  socket->setReadBufferSize(kReadBufferBytes);
  connect_socket(*socket, address, port, static_cast<int>(deadline.remainingTime()), where);
  adopt_socket(std::move(socket));

  // The first line only says who the server is; it carries nothing we need.
  switch (wait_for_line(timeouts_.greeting_ms)) {
    case Wait::line:
      framer_.next_line();
      take_unsolicited();
      answer_keepalive();
      return;
    case Wait::timeout:
      drop_connection();
      socket_.reset();
      throw std::runtime_error("El IOCP Server de " + where + " no envió su primera línea en " +
                               wait_text(timeouts_.greeting_ms));
    case Wait::closed:
      drop_connection();
      socket_.reset();
      throw std::runtime_error("El IOCP Server de " + where + " cerró la conexión antes de saludar");
    case Wait::interrupted:
      drop_connection();
      socket_.reset();
      throw std::runtime_error("No se pudo conectar con el IOCP Server en " + where + " (" + kClosing + ")");
  }
}

QHostAddress IocpClient::resolve(const std::string& host, int timeout_ms, const std::string& where) {
  QHostAddress literal;
  if (literal.setAddress(QString::fromStdString(host))) return literal;

  HostLookup lookup(resolver_, host);
  const QDeadlineTimer deadline(timeout_ms);
  const std::string fail = "No se pudo conectar con el IOCP Server en " + where + " (";
  while (!lookup.wait_for(wait_slice(static_cast<int>(deadline.remainingTime())))) {
    if (interrupted()) throw std::runtime_error(fail + kClosing + ")");
    if (deadline.hasExpired()) throw std::runtime_error(fail + "sin respuesta en " + wait_text(timeout_ms) + ")");
  }
  if (const auto address = lookup.address()) return *address;
  throw std::runtime_error("No se pudo conectar con el IOCP Server en " + where + " (no se encuentra el servidor)");
}

void IocpClient::connect_socket(QTcpSocket& socket, const QHostAddress& address, std::int32_t port, int timeout_ms,
                                const std::string& where) {
  const QDeadlineTimer deadline(std::max(timeout_ms, 0));
  const std::string fail = "No se pudo conectar con el IOCP Server en " + where + " (";
  socket.setSocketOption(QAbstractSocket::LowDelayOption, 1);
  socket.connectToHost(address, static_cast<quint16>(port));
  // Waiting on the socket itself, in slices, so that the wait can be interrupted (Qt's own wait
  // for a connection cannot be resumed once it gives up).
  while (socket.state() != QAbstractSocket::ConnectedState) {
    if (socket.state() == QAbstractSocket::UnconnectedState) {
      const std::string reason = socket_error_text(socket);
      socket.abort();
      throw std::runtime_error(fail + reason + ")");
    }
    if (interrupted()) {
      socket.abort();
      throw std::runtime_error(fail + kClosing + ")");
    }
    if (deadline.hasExpired()) {
      socket.abort();
      throw std::runtime_error(fail + "sin respuesta en " + wait_text(timeouts_.connect_ms) + ")");
    }
    const int slice = wait_slice(static_cast<int>(deadline.remainingTime()));
    const qintptr descriptor = socket.socketDescriptor();
    // Once the socket is ready the connection attempt has ended: Qt's own wait finds out how.
    if (descriptor == -1 || wait_socket_writable(descriptor, slice))
      socket.waitForConnected(std::max(1, static_cast<int>(deadline.remainingTime())));
  }
}

void IocpClient::poll(double& latitud, double& longitud, std::int32_t& heading) {
  Busy busy(busy_);
  if (!socket_) throw std::runtime_error("No hay conexión con el IOCP Server");
  if (dead_) throw std::runtime_error(dead_reason_);

  // Lines that came in since the last poll cannot answer this request: keep-alives get their
  // answer, anything else is dropped.
  drain_before_request();
  if (socket_->state() != QAbstractSocket::ConnectedState) fail_dropping(kClosedByServer);

  send_line(kIocpRequest);
  const QDeadlineTimer deadline(timeouts_.reply_ms);
  for (;;) {
    // Keep-alives taken so far are answered before waiting on (the server may wait for that).
    if (!framer_.has_line()) answer_keepalive();
    switch (wait_for_line(static_cast<int>(deadline.remainingTime()))) {
      case Wait::timeout:
        // A reply that comes later must not be taken for the next poll's, and a stalled server
        // should cost one wait, not one per poll.
        fail_dropping("El IOCP Server no respondió en " + wait_text(timeouts_.reply_ms));
      case Wait::closed: fail_dropping(kClosedByServer);
      // The program is closing: the connection stays, for its goodbye.
      case Wait::interrupted: throw std::runtime_error("Lectura del IOCP Server interrumpida: " + kClosing);
      case Wait::line: break;
    }
    std::string line = *framer_.next_line();
    if (is_keepalive(line)) {
      keepalive_owed_ = true;
      continue;
    }
    answer_keepalive();
    parse_iocp_reply(line, latitud, longitud, heading);
    return;
  }
}

void IocpClient::close() {
  Busy busy(busy_);
  cancel_reopen();
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
    read_some();
    if (framer_.has_line()) return Wait::line;
    if (socket_->state() != QAbstractSocket::ConnectedState) return Wait::closed;
    if (interrupted()) return Wait::interrupted;
    if (deadline.hasExpired()) return Wait::timeout;
    const int slice = wait_slice(static_cast<int>(deadline.remainingTime()));
    if (!socket_->waitForReadyRead(slice) && socket_->bytesAvailable() == 0 &&
        socket_->state() == QAbstractSocket::ConnectedState && !deadline.hasExpired()) {
      // Woken with nothing to read and still connected (Qt warns this can happen on Windows):
      // wait on until the deadline.
      QThread::msleep(1);
    }
  }
}

std::int64_t IocpClient::read_some() {
  char buffer[16 * 1024];
  std::int64_t total = 0;
  while (!framer_.has_line()) {
    const qint64 n = socket_->read(buffer, sizeof buffer);
    if (n <= 0) break;
    total += n;
    try {
      framer_.feed(std::string_view(buffer, static_cast<std::size_t>(n)));
    } catch (const std::runtime_error& e) {
      fail_dropping(e.what());
    }
  }
  return total;
}

void IocpClient::take_unsolicited() {
  while (auto line = framer_.next_line()) {
    if (is_keepalive(*line))
      keepalive_owed_ = true;
    else
      ++unsolicited_lines_;
  }
}

void IocpClient::answer_keepalive() {
  if (!keepalive_owed_) return;
  keepalive_owed_ = false;
  send_line(kIocpKeepAlive);
}

void IocpClient::drain_before_request() {
  std::int64_t drained = 0;
  for (;;) {
    take_unsolicited();
    if (socket_->bytesAvailable() > 0) {
      if (drained > kDrainBudgetBytes)
        throw std::runtime_error("El IOCP Server envía datos sin parar; no se le pide la posición");
      drained += read_some();
      continue;
    }
    // What the system holds beyond the socket's buffer.
    if (!socket_->waitForReadyRead(0)) {
      answer_keepalive();
      return;
    }
  }
}

void IocpClient::drain_between_exchanges() {
  if (busy_ || !socket_ || dead_) return;
  try {
    while (socket_ && socket_->bytesAvailable() > 0) {
      read_some();
      take_unsolicited();
    }
    answer_keepalive();
  } catch (const std::runtime_error&) {
    // The connection was dropped and marked dead; the next poll reports why.
  }
}

void IocpClient::send_line(std::string_view line) {
  std::string bytes(line);
  bytes += kIocpLineEnd;
  if (socket_->write(bytes.data(), static_cast<qint64>(bytes.size())) != static_cast<qint64>(bytes.size()))
    fail_dropping(kClosedByServer);
  socket_->flush();
  if (socket_->bytesToWrite() > kWriteBufferBytes)
    fail_dropping("El IOCP Server no lee lo que se le envía (más de " + std::to_string(kWriteBufferBytes / 1024) +
                  " KiB sin enviar)");
}

void IocpClient::drop_connection() {
  if (socket_) socket_->abort();
  framer_.clear();
  keepalive_owed_ = false;
}

void IocpClient::fail_dropping(const std::string& message) {
  drop_connection();
  dead_ = true;
  dead_reason_ = message;
  throw std::runtime_error(message);
}

}  // namespace tolvex
