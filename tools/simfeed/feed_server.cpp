#include "feed_server.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#ifndef _WIN32
#include <sys/socket.h>
#endif

#include "feed_protocol.h"
#include "simlink/iocp_protocol.h"

namespace simfeed {

namespace {
constexpr int kSplitDelayMs = 5;
}

struct FeedServer::Connection {
  int id = 0;
  QTcpSocket* socket = nullptr;
  QTimer* keepalive = nullptr;
  tolvex::IocpLineFramer framer;
  int requests = 0;
  bool stalled = false;
  bool closing = false;
  bool awaiting_keepalive = false;
  std::string deferred_reply;
  std::deque<Out> out;
  bool waiting = false;  // a delayed piece is due
};

FeedServer::FeedServer(FeedBehaviour behaviour, SampleSource sample, QObject* parent)
    : QObject(parent), behaviour_(behaviour), sample_(std::move(sample)), server_(new QTcpServer(this)) {
  connect(server_, &QTcpServer::newConnection, this, [this] { accept_pending(); });
}

FeedServer::~FeedServer() = default;

bool FeedServer::listen(const QHostAddress& address, quint16 port) {
  if (!server_->listen(address, port)) return false;
#ifndef _WIN32
  if (behaviour_.flood_keepalives) {
    // The smallest receive window from the handshake on (connections take it from the listening
    // socket): the client's answers soon wait on its side, as with a server that never reads.
    const int bytes = 1;
    setsockopt(static_cast<int>(server_->socketDescriptor()), SOL_SOCKET, SO_RCVBUF, &bytes, sizeof bytes);
  }
#endif
  return true;
}
quint16 FeedServer::port() const { return server_->serverPort(); }
QString FeedServer::error_text() const { return server_->errorString(); }

void FeedServer::accept_pending() {
  while (QTcpSocket* socket = server_->nextPendingConnection()) {
    if (behaviour_.serve_connections >= 0 && next_id_ > behaviour_.serve_connections) {
      socket->abort();
      socket->deleteLater();
      continue;
    }
    auto c = std::make_shared<Connection>();
    c->id = next_id_++;
    c->socket = socket;
    socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    std::weak_ptr<Connection> weak = c;
    connect(socket, &QTcpSocket::readyRead, socket, [this, weak] {
      if (auto c = weak.lock(); c && !behaviour_.flood_keepalives) read_lines(c);
    });
    connect(socket, &QTcpSocket::disconnected, socket, [this, weak, socket] {
      if (auto c = weak.lock()) {
        read_lines(c);  // what came just before the close
        if (on_disconnected) on_disconnected(c->id);
      }
      socket->deleteLater();
    });
    // The connection lives as long as the socket's handlers hold it.
    connect(socket, &QObject::destroyed, this, [c] {});
    if (behaviour_.keepalive_ms > 0) {
      c->keepalive = new QTimer(socket);
      connect(c->keepalive, &QTimer::timeout, socket, [this, weak] {
        auto c = weak.lock();
        if (c && (!c->stalled || behaviour_.keepalive_while_stalled) && !c->closing && !c->awaiting_keepalive &&
            c->out.empty())
          send_line(c, tolvex::kIocpKeepAlive);
      });
      c->keepalive->start(behaviour_.keepalive_ms);
    }
    if (on_connected) on_connected(c->id);
    if (behaviour_.greeting) send_line(c, kGreeting);
    if (behaviour_.flood_keepalives) {
      // Nothing is read: Qt's own buffer would otherwise take in everything the client sends.
      socket->setReadBufferSize(1024);
      auto* timer = new QTimer(socket);
      connect(timer, &QTimer::timeout, socket, [this, weak] {
        if (auto c = weak.lock()) flood(c);
      });
      timer->start(0);
    }
  }
}

void FeedServer::flood(const std::shared_ptr<Connection>& c) {
  // Only as fast as the client takes them: the flood must not grow this side's memory either.
  if (c->closing || c->socket->bytesToWrite() > 64 * 1024) return;
  std::string block;
  for (int i = 0; i < 16; ++i) block += std::string(tolvex::kIocpKeepAlive) + eol();
  c->socket->write(block.data(), static_cast<qint64>(block.size()));
}

void FeedServer::read_lines(const std::shared_ptr<Connection>& c) {
  const QByteArray bytes = c->socket->readAll();
  try {
    c->framer.feed(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
  } catch (const std::exception&) {
    c->closing = true;
    c->socket->abort();
    return;
  }
  while (auto line = c->framer.next_line()) handle_line(c, *line);
}

void FeedServer::handle_line(const std::shared_ptr<Connection>& c, const std::string& line) {
  if (on_line) on_line(c->id, line);
  if (c->closing) return;
  if (tolvex::is_keepalive(line)) {
    if (c->awaiting_keepalive) {
      c->awaiting_keepalive = false;
      send_reply(c, c->deferred_reply);
    }
    return;
  }
  if (line.starts_with(tolvex::kIocpGoodbye)) {
    if (behaviour_.close_on_goodbye) enqueue(c, {"", 0, true});
    return;
  }
  const IocpVariables sample = sample_ ? sample_() : IocpVariables{};
  std::optional<std::string> reply = build_reply(line, sample);
  if (!reply) return;
  ++c->requests;
  if (behaviour_.stall_after >= 0 && c->requests > behaviour_.stall_after) {
    c->stalled = true;
    return;
  }
  const int drop_at = behaviour_.drop_after >= 0 ? behaviour_.drop_after : (behaviour_.drop_mid_line ? 0 : -1);
  if (drop_at >= 0 && c->requests > drop_at) {
    enqueue(c, {behaviour_.drop_mid_line ? reply->substr(0, reply->size() / 2) : std::string(), 0, true});
    return;
  }
  if (behaviour_.garbage) reply = garbage_reply(sample);
  if (behaviour_.overlong) reply = std::string(kReplyPrefix) + std::string(70 * 1024, '7');
  if (behaviour_.keepalive_between) {
    c->awaiting_keepalive = true;
    c->deferred_reply = *reply;
    send_line(c, tolvex::kIocpKeepAlive);
    return;
  }
  send_reply(c, *reply);
  if (behaviour_.unsolicited_lines > 0) {
    // Stale replies, as from a request long answered: a client must not take one for the next.
    const std::string stale = build_reply(line, IocpVariables{-1, -2, 100}).value_or(std::string()) + eol();
    std::string block;
    block.reserve(stale.size() * static_cast<std::size_t>(behaviour_.unsolicited_lines));
    for (int i = 0; i < behaviour_.unsolicited_lines; ++i) block += stale;
    enqueue(c, {std::move(block), behaviour_.unsolicited_delay_ms, false});
  }
}

void FeedServer::send_reply(const std::shared_ptr<Connection>& c, const std::string& reply) {
  if (!behaviour_.split) {
    send_line(c, reply);
    return;
  }
  // The reply cut twice (the second cut just before its LF), with the tail packed together
  // with a whole keep-alive line.
  const std::string bytes = reply + eol() + std::string(tolvex::kIocpKeepAlive) + eol();
  const std::size_t first = std::min<std::size_t>(7, reply.size());
  const std::size_t second = reply.size() + eol().size() - 1;
  enqueue(c, {bytes.substr(0, first), 0, false});
  enqueue(c, {bytes.substr(first, second - first), kSplitDelayMs, false});
  enqueue(c, {bytes.substr(second), kSplitDelayMs, false});
}

void FeedServer::send_line(const std::shared_ptr<Connection>& c, std::string_view line, int delay_ms) {
  const std::string bytes = std::string(line) + eol();
  if (!behaviour_.split || bytes.size() < 4) {
    enqueue(c, {bytes, delay_ms, false});
    return;
  }
  const std::size_t cut = bytes.size() / 2;
  enqueue(c, {bytes.substr(0, cut), delay_ms, false});
  enqueue(c, {bytes.substr(cut), kSplitDelayMs, false});
}

void FeedServer::enqueue(const std::shared_ptr<Connection>& c, Out out) {
  if (c->closing) return;
  c->out.push_back(std::move(out));
  pump(c);
}

void FeedServer::pump(const std::shared_ptr<Connection>& c) {
  if (c->waiting) return;
  while (!c->out.empty()) {
    Out& o = c->out.front();
    if (o.delay_ms > 0) {
      c->waiting = true;
      const int delay = o.delay_ms;
      o.delay_ms = 0;
      std::weak_ptr<Connection> weak = c;
      QTimer::singleShot(delay, c->socket, [this, weak] {
        if (auto c = weak.lock()) {
          c->waiting = false;
          pump(c);
        }
      });
      return;
    }
    if (!o.bytes.empty()) {
      c->socket->write(o.bytes.data(), static_cast<qint64>(o.bytes.size()));
      c->socket->flush();
    }
    const bool close = o.close_after;
    c->out.pop_front();
    if (close) {
      c->closing = true;
      c->out.clear();
      c->socket->disconnectFromHost();
      return;
    }
  }
}

}  // namespace simfeed
