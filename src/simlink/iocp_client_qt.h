#pragma once
// The IOCP Server client: one TCP connection, used with blocking calls from the UI thread.
// Every wait is bounded; a failure throws std::runtime_error with a Spanish text.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "simlink/iocp_protocol.h"

class QTcpSocket;

namespace tolvex {

class IocpClient {
 public:
  struct Timeouts {
    int connect_ms = 5000;   // TCP connection
    int greeting_ms = 5000;  // the server's first line
    int reply_ms = 5000;     // one poll, request written to reply line read
    int close_ms = 1000;     // flushing the goodbye line
  };

  IocpClient();
  ~IocpClient();  // drops an open connection silently (no goodbye, no callback)
  IocpClient(const IocpClient&) = delete;
  IocpClient& operator=(const IocpClient&) = delete;

  void set_timeouts(const Timeouts& timeouts) { timeouts_ = timeouts; }
  const Timeouts& timeouts() const { return timeouts_; }

  // Called by close() once the connection is closed, before close() returns. Never called for
  // a connection that the server or the network ended.
  void set_disconnected_callback(std::function<void()> callback) { on_disconnected_ = std::move(callback); }

  // Connects (IPv4) and reads and discards the server's first line. Throws on failure and is
  // then closed. An open connection is dropped first.
  void open(const std::string& host, std::int32_t port);

  // Sends the request and waits for the reply line, answering keep-alives met on the way.
  // Fields are assigned as they are parsed (see parse_iocp_reply). After a time-out the
  // connection is dropped, so later polls fail at once.
  void poll(double& latitud, double& longitud, std::int32_t& heading);

  // Sends the goodbye line, closes the connection and calls the disconnection callback. On a
  // connection that is already dead it throws instead (no callback), but leaves the client
  // closed either way. Does nothing when nothing was opened.
  void close();

  // A connection was opened and not yet closed by close(); it may since have been ended by the
  // server or dropped after a time-out (then is_alive() is false).
  bool is_open() const { return socket_ != nullptr; }
  bool is_alive() const;

 private:
  enum class Wait { line, timeout, closed };
  // Reads until a complete line is in the framer or the deadline passes.
  Wait wait_for_line(int timeout_ms);
  // Reads whatever the socket holds into the framer, without waiting.
  void read_available();
  void send_line(std::string_view line);
  void drop_connection();
  [[noreturn]] void fail_dropping(const std::string& message);

  Timeouts timeouts_;
  std::function<void()> on_disconnected_;
  std::unique_ptr<QTcpSocket> socket_;
  IocpLineFramer framer_;
  bool dead_ = false;        // ended by the server, the network, or dropped after an error
  std::string dead_reason_;  // what ended it, repeated by later polls
};

}  // namespace tolvex
