#pragma once
// What the IOCP client's blocking open and its background reconnect share: finding a host by
// name within a limit, and the words for what went wrong.
#include <QHostAddress>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QTcpSocket;

namespace tolvex {

// The system's lookup: the IPv4 addresses of a host name, none when it is unknown.
std::vector<std::string> system_host_lookup(const std::string& host);

// "5 s" for whole seconds, else "300 ms".
std::string wait_text(int ms);
// Why a socket failed, in Spanish.
std::string socket_error_text(const QTcpSocket& socket);

// A host name looked up on a thread of its own, since the system's lookup takes no time limit:
// the caller waits as long as it chooses and may leave the thread to finish alone (its answer
// is then thrown away).
class HostLookup {
 public:
  using Resolver = std::function<std::vector<std::string>(const std::string& host)>;

  HostLookup(Resolver resolver, const std::string& host);

  // Waits up to `ms` for the answer; true once it is there.
  bool wait_for(int ms);
  bool done() { return wait_for(0); }
  // The first IPv4 address of the answer; none when the name is unknown or not answered yet.
  std::optional<QHostAddress> address();

 private:
  struct State;
  std::shared_ptr<State> state_;
};

}  // namespace tolvex
