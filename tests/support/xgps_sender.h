#pragma once
// A simulator's network GPS output on this PC: datagrams sent to 127.0.0.1:port, once from the
// calling thread or repeatedly from a thread of its own (a client waiting in a blocking call
// still receives them). They come from `from_port` when given (one simulator), else from a port
// the system picks (a new sender each time).
#include <QHostAddress>
#include <QUdpSocket>

#include <atomic>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace tolvex::test {

inline void send_datagrams(quint16 port, const std::vector<std::string>& datagrams, quint16 from_port = 0) {
  QUdpSocket socket;
  if (from_port) socket.bind(QHostAddress::LocalHost, from_port);
  for (const std::string& d : datagrams)
    socket.writeDatagram(d.data(), static_cast<qint64>(d.size()), QHostAddress::LocalHost, port);
}

// A port no one listens on at the moment (bound once, then let go).
inline quint16 free_udp_port() {
  QUdpSocket probe;
  probe.bind(QHostAddress::AnyIPv4, 0);
  return probe.localPort();
}

class RepeatingSender {
 public:
  RepeatingSender(quint16 port, std::vector<std::string> datagrams, int period_ms = 20, quint16 from_port = 0)
      : datagrams_(std::move(datagrams)) {
    thread_ = std::thread([this, port, period_ms, from_port] {
      QUdpSocket socket;
      if (from_port) socket.bind(QHostAddress::LocalHost, from_port);
      while (!stop_) {
        {
          std::lock_guard lock(mutex_);
          for (const std::string& d : datagrams_)
            socket.writeDatagram(d.data(), static_cast<qint64>(d.size()), QHostAddress::LocalHost, port);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(period_ms));
      }
    });
  }
  ~RepeatingSender() { stop(); }
  void set(std::vector<std::string> datagrams) {
    std::lock_guard lock(mutex_);
    datagrams_ = std::move(datagrams);
  }
  void stop() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
  }

 private:
  std::mutex mutex_;
  std::vector<std::string> datagrams_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

}  // namespace tolvex::test
