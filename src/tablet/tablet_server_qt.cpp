#include "tablet/tablet_server_qt.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QHostAddress>
#include <QHttpServer>
#include <QHttpServerRequest>
#include <QHttpServerResponse>
#include <QNetworkInterface>
#include <QTcpSocket>
#include <QUrl>
#include <QWebSocket>
#include <QWebSocketServer>

#include "map/page_files.h"
#include "map/page_scheme_qt.h"
#include "tablet/request_gate_qt.h"
#include "tablet/tablet_key.h"
#include "tablet/tablet_page.h"
#include "tablet/tablet_state.h"

namespace tolvex {
namespace {

qint64 now_ms() { return QDateTime::currentMSecsSinceEpoch(); }

QHttpServerResponse with_headers(QHttpServerResponse response, const HeaderList& headers) {
  for (const auto& [name, value] : headers)
    response.setHeader(QByteArray::fromStdString(name), QByteArray::fromStdString(value));
  return response;
}

// Qt's server writes the length of an empty answer itself.
QHttpServerResponse refusal(QHttpServerResponse::StatusCode status) {
  return with_headers(QHttpServerResponse(status), {{"Cache-Control", "no-store"}});
}

// A page file of `folder` as the page scheme's rule allows it (map/page_files.h), or 404.
QHttpServerResponse file_response(const QString& folder, const std::string& address_path) {
  const auto relative = page_file_path(address_path);
  if (!relative || folder.isEmpty()) return refusal(QHttpServerResponse::StatusCode::NotFound);
  QFile file(QDir(folder).filePath(QString::fromStdString(*relative)));
  if (!file.open(QIODevice::ReadOnly) || file.size() > PageScheme::kMaxFileBytes)
    return refusal(QHttpServerResponse::StatusCode::NotFound);
  const std::string_view type = page_file_type(*relative);
  return with_headers(QHttpServerResponse(QByteArray(type.data(), static_cast<qsizetype>(type.size())), file.readAll()),
                      page_file_headers());
}

std::string status_counts(const std::map<int, int>& counts) {
  std::string text;
  for (const auto& [status, count] : counts) {
    if (!text.empty()) text += ", ";
    text += std::to_string(status) + ": " + std::to_string(count);
  }
  return text;
}

}  // namespace

std::vector<std::string> lan_ipv4_addresses() {
  std::vector<std::string> addresses;
  for (const QNetworkInterface& i : QNetworkInterface::allInterfaces()) {
    if (!i.flags().testFlag(QNetworkInterface::IsUp) || !i.flags().testFlag(QNetworkInterface::IsRunning)) continue;
    for (const QNetworkAddressEntry& e : i.addressEntries())
      if (e.ip().protocol() == QAbstractSocket::IPv4Protocol) addresses.push_back(e.ip().toString().toStdString());
  }
  return addresses;
}

TabletServer::TabletServer(TabletServerOptions options, QObject* parent)
    : QObject(parent), options_(std::move(options)) {
  state_[kSectionAvion] = aircraft_section(std::nullopt, false);
  ping_timer_.setInterval(kPingIntervalMs);
  connect(&ping_timer_, &QTimer::timeout, this, &TabletServer::ping_all);
}

TabletServer::~TabletServer() { stop(); }

bool TabletServer::start(quint16 port, const std::string& key) {
  stop();
  key_ = key;
  error_.clear();
  http_ = new QHttpServer(this);
  sockets_ = new QWebSocketServer(QStringLiteral("Tolvex"), QWebSocketServer::NonSecureMode, this);
  sockets_->setMaxPendingConnections(kMaxSockets);
  connect(sockets_, &QWebSocketServer::newConnection, this, &TabletServer::accept_sockets);

  gate_ = new RequestGate([this](std::string_view bytes) {
    return examine_request(bytes, key_, clients_.size() >= kMaxSockets);
  });
  connect(gate_, &RequestGate::socket_requested, this, &TabletServer::take_socket_request);
  connect(gate_, &RequestGate::refused, this, &TabletServer::count_refusal);

  // What the gate let through, checked again here: a page file only as the page scheme's rule
  // allows, and the key on every request.
  http_->route(QStringLiteral("/"), [this](const QHttpServerRequest& request) {
    if (!request_has_key(request)) return refusal(QHttpServerResponse::StatusCode::Forbidden);
    try {
      const std::string page = build_tablet_page(key_, options_.maps);
      return with_headers(QHttpServerResponse(QByteArrayLiteral("text/html; charset=utf-8"), QByteArray::fromStdString(page)),
                          tablet_page_headers(options_.maps));
    } catch (const std::exception& error) {
      log(std::string("Vista en tableta: ") + error.what());
      return refusal(QHttpServerResponse::StatusCode::InternalServerError);
    }
  });
  http_->setMissingHandler([this](const QHttpServerRequest& request, QHttpServerResponder&& responder) {
    const QHttpServerResponse response =
        request_has_key(request)
            ? file_response(options_.files_folder, request.url().path(QUrl::FullyEncoded).toStdString())
            : refusal(QHttpServerResponse::StatusCode::Forbidden);
    response.write(std::move(responder));
  });
  if (!gate_->listen(QHostAddress::AnyIPv4, port)) {
    error_ = gate_->errorString();
    delete gate_;
    stop();
    return false;
  }
  http_->bind(gate_);
  ping_timer_.start();
  log("Vista en tableta: servidor en el puerto " + std::to_string(gate_->serverPort()));
  return true;
}

void TabletServer::stop() {
  ping_timer_.stop();
  const QList<Client> clients = clients_;
  clients_.clear();
  for (const Client& c : clients)
    if (c.socket) {
      c.socket->abort();
      c.socket->deleteLater();
    }
  if (gate_) gate_->close();
  // The gate belongs to the HTTP server since bind().
  delete http_;
  http_ = nullptr;
  delete sockets_;
  sockets_ = nullptr;
  if (!clients.isEmpty()) emit tablets_changed(0);
}

bool TabletServer::running() const { return gate_ && gate_->isListening(); }

quint16 TabletServer::port() const { return running() ? gate_->serverPort() : 0; }

void TabletServer::set_key(const std::string& key) {
  key_ = key;
  if (gate_) gate_->drop_waiting();
  const QList<Client> clients = clients_;
  for (const Client& c : clients) {
    if (!c.socket) continue;
    QWebSocket* socket = c.socket;
    socket->close(static_cast<QWebSocketProtocol::CloseCode>(kNewKeyCloseCode), QStringLiteral("Nueva clave"));
    // A tablet that does not answer the close is cut off all the same.
    QTimer::singleShot(1000, socket, [this, socket] { drop(socket, true); });
  }
  log("Vista en tableta: nueva clave; tabletas desconectadas: " + std::to_string(clients.size()));
}

bool TabletServer::request_has_key(const QHttpServerRequest& request) const {
  const std::string query = request.url().query(QUrl::FullyEncoded).toStdString();
  const auto given = query_parameter(query, kKeyParameter);
  return given && key_matches(*given, key_);
}

void TabletServer::take_socket_request(QTcpSocket* socket) {
  if (!sockets_) {
    socket->abort();
    return;
  }
  sockets_->handleConnection(socket);
}

void TabletServer::accept_sockets() {
  while (sockets_ && sockets_->hasPendingConnections()) {
    QWebSocket* socket = sockets_->nextPendingConnection();
    if (!socket) break;
    socket->setParent(this);
    if (clients_.size() >= kMaxSockets) {
      socket->close(QWebSocketProtocol::CloseCodePolicyViolated, QStringLiteral("Demasiadas tabletas"));
      socket->deleteLater();
      continue;
    }
    socket->setMaxAllowedIncomingFrameSize(kMaxIncomingBytes);
    socket->setMaxAllowedIncomingMessageSize(kMaxIncomingBytes);
    socket->setReadBufferSize(static_cast<qint64>(kMaxIncomingBytes) * 4);
    clients_.append({socket, now_ms()});
    connect(socket, &QWebSocket::textMessageReceived, this, [this] { ++ignored_; });
    connect(socket, &QWebSocket::binaryMessageReceived, this, [this] { ++ignored_; });
    connect(socket, &QWebSocket::pong, this, [this, socket] {
      for (Client& c : clients_)
        if (c.socket == socket) c.last_pong_ms = now_ms();
    });
    connect(socket, &QWebSocket::disconnected, this, [this, socket] { drop(socket, false); });
    log("Vista en tableta: tableta conectada desde " + socket->peerAddress().toString().toStdString() +
        " (" + std::to_string(clients_.size()) + " en total)");
    emit tablets_changed(tablet_count());
    // A tablet that comes late gets the whole state first.
    send(socket, QString::fromStdString(state_message(state_)));
  }
}

void TabletServer::send(QWebSocket* socket, const QString& message) {
  if (!socket || socket->state() != QAbstractSocket::ConnectedState) return;
  // Checked before adding: one state of many airspaces may itself be larger than the limit.
  if (socket->bytesToWrite() > kMaxUnsentBytes) {
    log("Vista en tableta: una tableta no lee lo que se le envía; se cierra su conexión");
    drop(socket, true);
    return;
  }
  socket->sendTextMessage(message);
}

void TabletServer::send_to_all(const std::string& message) {
  if (clients_.isEmpty() || message.empty()) return;
  const QString text = QString::fromStdString(message);
  const QList<Client> clients = clients_;
  for (const Client& c : clients) send(c.socket, text);
}

void TabletServer::drop(QWebSocket* socket, bool aborted) {
  bool found = false;
  for (qsizetype i = 0; i < clients_.size(); ++i) {
    if (clients_[i].socket == socket) {
      clients_.removeAt(i);
      found = true;
      break;
    }
  }
  if (!found || !socket) return;
  socket->disconnect(this);
  if (aborted) socket->abort();
  socket->deleteLater();
  log("Vista en tableta: tableta desconectada (" + std::to_string(clients_.size()) + " quedan)");
  emit tablets_changed(tablet_count());
}

void TabletServer::publish_sample(const TabletSample& sample) {
  const std::string message = sample_message(sample);
  if (message.empty()) return;
  last_sample_ = sample;
  datos_ = true;
  state_[kSectionAvion] = aircraft_section(last_sample_, true);
  send_to_all(message);
}

void TabletServer::publish_no_data() {
  const bool was = datos_;
  datos_ = false;
  state_[kSectionAvion] = aircraft_section(last_sample_, false);
  if (was) send_to_all(std::string(kNoDataMessage));
}

void TabletServer::update_state(const TabletState& sections) {
  TabletState next = state_;
  for (const auto& [name, value] : sections) next[name] = value;
  const std::optional<std::string> message = state_change_message(state_, next);
  state_ = std::move(next);
  if (message) send_to_all(*message);
}

qint64 TabletServer::unsent_bytes() const {
  qint64 total = 0;
  for (const Client& c : clients_)
    if (c.socket) total += c.socket->bytesToWrite();
  return total;
}

void TabletServer::ping_all() {
  const qint64 now = now_ms();
  const QList<Client> clients = clients_;
  for (const Client& c : clients) {
    if (!c.socket) continue;
    if (now - c.last_pong_ms > kPongTimeoutMs) {
      log("Vista en tableta: una tableta no responde; se cierra su conexión");
      drop(c.socket, true);
      continue;
    }
    c.socket->ping();
  }
  report_counts();
}

void TabletServer::count_refusal(int status) { ++refusals_[status]; }

// Counts, not one line per event: a device that keeps asking cannot fill the log.
void TabletServer::report_counts() {
  if (refusals_ != refusals_reported_) {
    log("Vista en tableta: peticiones rechazadas por estado (" + status_counts(refusals_) + ")");
    refusals_reported_ = refusals_;
  }
  if (ignored_ != ignored_reported_) {
    log("Vista en tableta: mensajes de tabletas ignorados: " + std::to_string(ignored_));
    ignored_reported_ = ignored_;
  }
}

void TabletServer::log(const std::string& line) const {
  if (options_.log) options_.log(line);
}

}  // namespace tolvex
