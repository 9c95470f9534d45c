#pragma once
// The IOCP Server client: one TCP connection, used with blocking calls from the UI thread, and
// made again in the background when it goes. Every wait is bounded; a failure throws
// std::runtime_error with a Spanish text.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "simlink/iocp_protocol.h"

class QHostAddress;
class QObject;
class QTcpSocket;

namespace tolvex {

class IocpClient {
 public:
  struct Timeouts {
    int connect_ms = 5000;   // finding the host by name and the TCP connection, together
    int greeting_ms = 5000;  // the server's first line
    int reply_ms = 5000;     // one poll, request written to reply line read
    int close_ms = 1000;     // flushing the goodbye line
  };
  // Host name -> IPv4 addresses as text; none when the name is unknown. May block for long:
  // it runs on a thread of its own and is abandoned when the connect limit passes first.
  using Resolver = std::function<std::vector<std::string>(const std::string& host)>;

  // What the socket may hold unread; a server that floods cannot make us hold more.
  static constexpr std::int64_t kReadBufferBytes = 64 * 1024;
  // Bytes a poll reads away before its request at most; beyond that the server floods.
  static constexpr std::int64_t kDrainBudgetBytes = 16 * 1024 * 1024;
  // Unsent bytes we hold at most: beyond that the server is not reading, and is dropped.
  static constexpr std::int64_t kWriteBufferBytes = 64 * 1024;
  // What we ask the system to hold for sending.
  static constexpr std::int64_t kSystemSendBufferBytes = 16 * 1024;

  IocpClient();
  ~IocpClient();  // drops an open connection silently (no goodbye, no callback)
  IocpClient(const IocpClient&) = delete;
  IocpClient& operator=(const IocpClient&) = delete;

  void set_timeouts(const Timeouts& timeouts) { timeouts_ = timeouts; }
  const Timeouts& timeouts() const { return timeouts_; }
  void set_resolver(Resolver resolver) { resolver_ = std::move(resolver); }

  // Asked every few milliseconds while open() or poll() wait; true ends the wait at once with
  // an error (the program is closing). close() is never interrupted.
  void set_interrupt_check(std::function<bool()> check) { interrupted_ = std::move(check); }

  // Called by close() once the connection is closed, before close() returns. Never called for
  // a connection that the server or the network ended.
  void set_disconnected_callback(std::function<void()> callback) { on_disconnected_ = std::move(callback); }

  // Connects (IPv4 for a host name) and reads and discards the server's first line. Throws on
  // failure and is then closed. An open connection is dropped first.
  void open(const std::string& host, std::int32_t port);

  // Sends the request and waits for the reply line, answering keep-alives met on the way.
  // Lines that came before the request are not the reply: they are dropped. Fields are
  // assigned as they are parsed (see parse_iocp_reply). After a time-out the connection is
  // dropped, so later polls fail at once.
  void poll(double& latitud, double& longitud, std::int32_t& heading);

  // For a connection that has gone (after a time-out, a drop, a server that stopped reading):
  // connects again in the background to the host and port of the last open(), and returns at
  // once. `done` is called later from the event loop, with an empty text once the server has
  // greeted (polls go out again) or with why the attempt failed. Never blocks: the host lookup,
  // the connection and the greeting are waited for by the event loop, within the connect and
  // greeting limits. open(), close() and the destructor cancel it (`done` is then not called).
  using ReopenDone = std::function<void(const std::string& error)>;
  void reopen_async(ReopenDone done);
  bool reopening() const { return reopen_ != nullptr; }

  // Sends the goodbye line, closes the connection and calls the disconnection callback. On a
  // connection that is already dead it throws instead (no callback), but leaves the client
  // closed either way. Does nothing when nothing was opened.
  void close();

  // A connection was opened and not yet closed by close(); it may since have been ended by the
  // server or dropped after a time-out (then is_alive() is false).
  bool is_open() const { return socket_ != nullptr; }
  bool is_alive() const;

  // Received bytes held and not yet taken as lines (bounded whatever the server sends).
  std::int64_t buffered_bytes() const;
  // Bytes written and not yet taken by the system.
  std::int64_t unsent_bytes() const;
  // Lines the server sent unasked (neither a reply nor a keep-alive), dropped.
  std::int64_t unsolicited_lines() const { return unsolicited_lines_; }

 private:
  enum class Wait { line, timeout, closed, interrupted };
  class Busy;
  struct Reopen;
  // The background reconnect's steps, each run by the event loop.
  void reopen_connect(const QHostAddress& address);
  void reopen_check();
  void reopen_read();
  void reopen_failed(const std::string& reason);
  void reopen_greeted();
  void cancel_reopen();
  // `done` called from the event loop, never from inside a socket's own signal.
  void report_reopen(const std::string& error);
  // The socket and reading set-up every connection gets once connected.
  void adopt_socket(std::unique_ptr<QTcpSocket> socket);
  QHostAddress resolve(const std::string& host, int timeout_ms, const std::string& where);
  void connect_socket(QTcpSocket& socket, const QHostAddress& address, std::int32_t port, int timeout_ms,
                      const std::string& where);
  // Reads until a complete line is in the framer or the deadline passes.
  Wait wait_for_line(int timeout_ms);
  // Reads what the socket holds into the framer, without waiting, until a line is complete.
  // Returns the bytes read.
  std::int64_t read_some();
  // Lines between exchanges: keep-alives are owed an answer, anything else is dropped.
  void take_unsolicited();
  // One answer for all the keep-alives of a read batch: a server that floods them gets no flood back.
  void answer_keepalive();
  // Reads away everything the system holds before a request (bounded by kDrainBudgetBytes).
  void drain_before_request();
  // Between exchanges, as data comes in: the socket never holds more than its buffer.
  void drain_between_exchanges();
  bool interrupted() const { return interrupted_ && interrupted_(); }
  int wait_slice(int remaining_ms) const;
  void send_line(std::string_view line);
  void drop_connection();
  [[noreturn]] void fail_dropping(const std::string& message);

  Timeouts timeouts_;
  Resolver resolver_;
  std::function<bool()> interrupted_;
  std::function<void()> on_disconnected_;
  std::unique_ptr<QTcpSocket> socket_;
  std::string host_;  // of the last open(), for reopen_async()
  std::int32_t port_ = 0;
  std::unique_ptr<Reopen> reopen_;
  std::unique_ptr<QObject> reports_;  // context of the queued `done` calls: none after destruction
  ReopenDone reopen_done_;
  IocpLineFramer framer_;
  bool busy_ = false;        // inside open(), poll() or close(): the lines are theirs
  bool dead_ = false;        // ended by the server, the network, or dropped after an error
  std::string dead_reason_;  // what ended it, repeated by later polls
  std::int64_t unsolicited_lines_ = 0;
  bool keepalive_owed_ = false;
};

}  // namespace tolvex
