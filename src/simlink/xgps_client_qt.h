#pragma once
// The network GPS link: a UDP socket on every local IPv4 address that takes the XGPS and XATT
// datagrams simulators send, read as they arrive (so their ages are true) and again at each
// poll. Used from the UI thread; failures throw std::runtime_error with a Spanish text.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "simlink/xgps_protocol.h"

class QUdpSocket;

namespace tolvex {

class XgpsClient {
 public:
  struct Timeouts {
    int first_fix_ms = static_cast<int>(kXgpsFreshMs);  // connecting waits this long for a position
  };
  // Milliseconds of a steady clock; tests inject their own.
  using Clock = std::function<std::int64_t()>;
  // One read takes at most this many datagrams, so a flood cannot hold the UI thread; the rest
  // wait in the system's socket buffer, which bounds the memory a flood can take.
  static constexpr int kMaxDatagramsPerRead = 2048;

  XgpsClient();
  ~XgpsClient();
  XgpsClient(const XgpsClient&) = delete;
  XgpsClient& operator=(const XgpsClient&) = delete;

  void set_timeouts(const Timeouts& timeouts) { timeouts_ = timeouts; }
  void set_clock(Clock clock) { clock_ = std::move(clock); }

  // Binds `port` (0: any free port) on every local IPv4 address, not shared with other programs,
  // and waits up to first_fix_ms for the first position. Throws, and is then closed, when the
  // port cannot be had or no position arrives. An open socket is closed first.
  void open(std::int32_t port);

  // Reads what the socket holds and sets the three fields from the newest sample; throws (the
  // fields unchanged) when no position arrived for kXgpsFreshMs. Stays open either way.
  void poll(double& latitud, double& longitud, std::int32_t& heading);

  // Closes the socket. Never throws; does nothing when not open.
  void close();

  bool is_open() const { return socket_ != nullptr; }
  // The port bound (the one picked when opened with 0).
  std::uint16_t port() const { return port_; }
  const XgpsCounters& counters() const { return receiver_.counters(); }
  // The heading of the last successful poll came from an attitude message.
  bool heading_from_attitude() const { return heading_from_attitude_; }
  // The log line about ignored datagrams, when their number changed since the last call.
  std::optional<std::string> ignored_report();
  // The log line naming the sender followed ("address:port"), when it changed since the last call.
  std::optional<std::string> sender_report();

 private:
  void read_pending();

  Timeouts timeouts_;
  Clock clock_;
  std::unique_ptr<QUdpSocket> socket_;
  XgpsReceiver receiver_;
  std::uint16_t port_ = 0;
  bool heading_from_attitude_ = false;
  std::int64_t reported_ignored_ = 0;
  std::optional<std::string> reported_sender_;
};

}  // namespace tolvex
