#pragma once
// simfeed's IOCP Server stand-in: greets, answers requests for 69, 70 and 79 from a sample
// source, sends keep-alives now and then, closes on the goodbye line, serves many clients.
// It can misbehave on request, for tests. Lives on the thread that runs its event loop.
#include <QHostAddress>
#include <QObject>
#include <QString>

#include <deque>
#include <functional>
#include <memory>
#include <string>

#include "flight_model.h"

class QTcpServer;
class QTcpSocket;

namespace simfeed {

struct FeedBehaviour {
  bool greeting = true;         // send "Arn.TipoSer:FSA:" on connect
  int stall_after = -1;         // answer this many requests per connection, then go silent
  int drop_after = -1;          // answer this many requests, then close on the next one
  bool drop_mid_line = false;   // the drop sends half a reply line first (alone: drop at once)
  bool garbage = false;         // replies carry a value that is not a number
  bool overlong = false;        // replies are a line of more than 64 KiB
  bool lf_only = false;         // lines end with LF instead of CR LF
  bool keepalive_between = false;  // a keep-alive between request and reply, reply once answered
  bool split = false;           // lines cut across packets, a keep-alive glued to each reply
  bool close_on_goodbye = true;  // close when the client says "Arn.Fin:"
  int keepalive_ms = 15000;     // keep-alive period when idle; 0: none
  bool keepalive_while_stalled = false;  // a stalled connection still sends its keep-alives
  int unsolicited_lines = 0;    // after each reply, this many stale reply lines nobody asked for
  int unsolicited_delay_ms = 0;  // ... sent this long after the reply
  bool flood_keepalives = false;  // after the greeting, keep-alives without pause, and never read
  int serve_connections = -1;     // serve this many connections; later ones are closed at once
};

class FeedServer : public QObject {
 public:
  using SampleSource = std::function<IocpVariables()>;

  FeedServer(FeedBehaviour behaviour, SampleSource sample, QObject* parent = nullptr);
  ~FeedServer() override;

  // Port 0 picks a free one. False on failure, with error_text().
  bool listen(const QHostAddress& address, quint16 port);
  quint16 port() const;
  QString error_text() const;

  // Called on the server's thread: each line received (without its line end), and each
  // connection's start and end.
  std::function<void(int connection, const std::string& line)> on_line;
  std::function<void(int connection)> on_connected;
  std::function<void(int connection)> on_disconnected;

 private:
  struct Connection;
  struct Out {
    std::string bytes;
    int delay_ms = 0;
    bool close_after = false;
  };
  void accept_pending();
  void read_lines(const std::shared_ptr<Connection>& c);
  void handle_line(const std::shared_ptr<Connection>& c, const std::string& line);
  void send_reply(const std::shared_ptr<Connection>& c, const std::string& reply);
  void send_line(const std::shared_ptr<Connection>& c, std::string_view line, int delay_ms = 0);
  void enqueue(const std::shared_ptr<Connection>& c, Out out);
  void pump(const std::shared_ptr<Connection>& c);
  void flood(const std::shared_ptr<Connection>& c);
  std::string eol() const { return behaviour_.lf_only ? "\n" : "\r\n"; }

  FeedBehaviour behaviour_;
  SampleSource sample_;
  QTcpServer* server_;
  int next_id_ = 1;
};

}  // namespace simfeed
