#include "simlink/iocp_connect_qt.h"

#include <QHostInfo>
#include <QTcpSocket>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace tolvex {

std::vector<std::string> system_host_lookup(const std::string& host) {
  std::vector<std::string> addresses;
  for (const QHostAddress& a : QHostInfo::fromName(QString::fromStdString(host)).addresses())
    if (a.protocol() == QAbstractSocket::IPv4Protocol) addresses.push_back(a.toString().toStdString());
  return addresses;
}

std::string wait_text(int ms) {
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

struct HostLookup::State {
  std::mutex mutex;
  std::condition_variable done_changed;
  bool done = false;
  std::vector<std::string> addresses;
};

HostLookup::HostLookup(Resolver resolver, const std::string& host) : state_(std::make_shared<State>()) {
  std::thread([state = state_, resolver = std::move(resolver), host] {
    std::vector<std::string> addresses;
    try {
      addresses = resolver(host);
    } catch (...) {
    }
    const std::lock_guard lock(state->mutex);
    state->addresses = std::move(addresses);
    state->done = true;
    state->done_changed.notify_all();
  }).detach();
}

bool HostLookup::wait_for(int ms) {
  std::unique_lock lock(state_->mutex);
  return state_->done_changed.wait_for(lock, std::chrono::milliseconds(std::max(ms, 0)), [this] { return state_->done; });
}

std::optional<QHostAddress> HostLookup::address() {
  const std::lock_guard lock(state_->mutex);
  for (const std::string& text : state_->addresses) {
    QHostAddress address;
    if (address.setAddress(QString::fromStdString(text))) return address;
  }
  return std::nullopt;
}

}  // namespace tolvex
