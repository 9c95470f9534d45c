// The IOCP client's background reconnect: the host lookup, the connection and the greeting are
// waited for by the event loop, so the window never stops while a server is away.
#include <QDeadlineTimer>
#include <QTcpSocket>
#include <QTimer>

#include <optional>
#include <stdexcept>

#include "simlink/iocp_client_qt.h"
#include "simlink/iocp_connect_qt.h"

namespace tolvex {
namespace {

// How often the attempt looks at its lookup and its limits.
constexpr int kCheckMs = 20;

}  // namespace

struct IocpClient::Reopen {
  QObject* owner = new QObject;  // parent of the timer and the socket; deleted later, never inside their signals
  QTimer* timer = new QTimer(owner);
  QTcpSocket* socket = nullptr;
  std::optional<HostLookup> lookup;
  QDeadlineTimer deadline;
  bool greeting = false;  // connected, the first line is awaited
  IocpLineFramer framer;
  std::string where;
};

IocpClient::IocpClient() : resolver_(system_host_lookup), reports_(std::make_unique<QObject>()) {}

IocpClient::~IocpClient() {
  cancel_reopen();
  if (socket_) socket_->abort();
}

void IocpClient::reopen_async(ReopenDone done) {
  cancel_reopen();
  reopen_done_ = std::move(done);
  reopen_ = std::make_unique<Reopen>();
  reopen_->where = host_ + ":" + std::to_string(port_);
  reopen_->deadline = QDeadlineTimer(timeouts_.connect_ms);
  QObject::connect(reopen_->timer, &QTimer::timeout, reopen_->owner, [this] { reopen_check(); });
  reopen_->timer->start(kCheckMs);
  if (port_ < 1 || port_ > 65535) {
    reopen_failed("Puerto no válido para el IOCP Server: " + std::to_string(port_));
    return;
  }
  QHostAddress literal;
  if (literal.setAddress(QString::fromStdString(host_)))
    reopen_connect(literal);
  else
    reopen_->lookup.emplace(resolver_, host_);
}

void IocpClient::reopen_connect(const QHostAddress& address) {
  Reopen& r = *reopen_;
  r.lookup.reset();
  r.socket = new QTcpSocket(r.owner);
  r.socket->setReadBufferSize(kReadBufferBytes);
  r.socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
  QObject::connect(r.socket, &QTcpSocket::connected, r.owner, [this] {
    reopen_->greeting = true;
    reopen_->deadline = QDeadlineTimer(timeouts_.greeting_ms);
    reopen_read();
  });
  QObject::connect(r.socket, &QTcpSocket::readyRead, r.owner, [this] { reopen_read(); });
  QObject::connect(r.socket, &QTcpSocket::errorOccurred, r.owner, [this] {
    const std::string where = reopen_->where;
    if (reopen_->greeting)
      reopen_failed("El IOCP Server de " + where + " cerró la conexión antes de saludar");
    else
      reopen_failed("No se pudo conectar con el IOCP Server en " + where + " (" + socket_error_text(*reopen_->socket) +
                    ")");
  });
  r.socket->connectToHost(address, static_cast<quint16>(port_));
}

void IocpClient::reopen_check() {
  if (!reopen_) return;
  Reopen& r = *reopen_;
  if (r.lookup && r.lookup->done()) {
    if (const auto address = r.lookup->address())
      reopen_connect(*address);
    else
      reopen_failed("No se pudo conectar con el IOCP Server en " + r.where + " (no se encuentra el servidor)");
    return;
  }
  if (!r.deadline.hasExpired()) return;
  if (r.greeting)
    reopen_failed("El IOCP Server de " + r.where + " no envió su primera línea en " + wait_text(timeouts_.greeting_ms));
  else
    reopen_failed("No se pudo conectar con el IOCP Server en " + r.where + " (sin respuesta en " +
                  wait_text(timeouts_.connect_ms) + ")");
}

void IocpClient::reopen_read() {
  if (!reopen_ || !reopen_->greeting) return;
  Reopen& r = *reopen_;
  char buffer[4096];
  while (!r.framer.has_line()) {
    const qint64 n = r.socket->read(buffer, sizeof buffer);
    if (n <= 0) return;
    try {
      r.framer.feed(std::string_view(buffer, static_cast<std::size_t>(n)));
    } catch (const std::runtime_error& e) {
      reopen_failed(e.what());
      return;
    }
  }
  reopen_greeted();
}

void IocpClient::reopen_greeted() {
  // The new connection takes the place of the one that went, with what came after the greeting.
  Reopen& r = *reopen_;
  r.socket->disconnect(r.owner);
  r.socket->setParent(nullptr);
  std::unique_ptr<QTcpSocket> socket(r.socket);
  r.socket = nullptr;
  IocpLineFramer framer = std::move(r.framer);
  framer.next_line();
  cancel_reopen();
  if (socket_) socket_->abort();
  socket_.reset();
  adopt_socket(std::move(socket));
  framer_ = std::move(framer);
  keepalive_owed_ = false;
  dead_ = false;
  dead_reason_.clear();
  drain_between_exchanges();  // lines that came with the greeting; a failure marks the link dead
  report_reopen(dead_ ? dead_reason_ : std::string());
}

void IocpClient::reopen_failed(const std::string& reason) {
  cancel_reopen();
  report_reopen(reason);
}

void IocpClient::cancel_reopen() {
  if (!reopen_) return;
  std::unique_ptr<Reopen> r = std::move(reopen_);
  r->timer->stop();
  if (r->socket) {
    r->socket->disconnect(r->owner);
    r->socket->abort();
  }
  // Possibly inside one of its children's signals: deleted once they have returned.
  r->owner->deleteLater();
}

void IocpClient::report_reopen(const std::string& error) {
  ReopenDone done = std::move(reopen_done_);
  reopen_done_ = nullptr;
  if (!done) return;
  QTimer::singleShot(0, reports_.get(), [done = std::move(done), error] { done(error); });
}

}  // namespace tolvex
