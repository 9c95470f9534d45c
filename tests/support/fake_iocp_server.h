#pragma once
// An IOCP Server for tests: simfeed's server on a thread of its own, so a blocking client on
// the test thread can talk to it. Records every line it receives.
#include <QThread>

#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "feed_server.h"

namespace tolvex::test {

class FakeIocpServer {
 public:
  struct Event {
    int connection;
    std::string line;  // a received line, or "" with closed set
    bool closed = false;
  };

  // Serves a fixed sample (the one in the protocol's example unless told otherwise), on a port
  // of its own or on `port` (a server started again where the last one was).
  explicit FakeIocpServer(simfeed::FeedBehaviour behaviour = {},
                          simfeed::IocpVariables sample = {4047123, -370912, 27049}, quint16 port = 0);
  ~FakeIocpServer();
  FakeIocpServer(const FakeIocpServer&) = delete;
  FakeIocpServer& operator=(const FakeIocpServer&) = delete;

  quint16 port() const { return port_; }
  void set_sample(simfeed::IocpVariables sample);

  // Every line received and every connection end, in order.
  std::vector<Event> events() const;
  // Just the lines received, all connections.
  std::vector<std::string> lines() const;
  int count_lines(const std::string& line) const;
  int connections_closed() const;

  // Waits (bounded) for the server thread to catch up with what the client did.
  bool wait_until(const std::function<bool()>& condition, int timeout_ms = 5000) const;

 private:
  QThread thread_;
  simfeed::FeedServer* server_ = nullptr;
  quint16 port_ = 0;
  mutable std::mutex mutex_;
  std::vector<Event> events_;
  simfeed::IocpVariables sample_;
};

}  // namespace tolvex::test
