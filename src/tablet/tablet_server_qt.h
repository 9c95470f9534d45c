#pragma once
// The tablet view's server, in the main process: the tablet page, its page files and one
// WebSocket per tablet that carries the live map's data (tablet/tablet_messages.h), all on one
// port of every IPv4 address, all behind the access key. It changes nothing on the PC: what a
// tablet sends is ignored and counted.
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "map/map_settings.h"
#include "tablet/tablet_messages.h"

class QHttpServer;
class QHttpServerRequest;
class QTcpSocket;
class QWebSocket;
class QWebSocketServer;

namespace tolvex {

class RequestGate;

// The IPv4 addresses of this PC's network interfaces that are up (loopback included; see
// tablet_addresses for which of them a tablet can reach).
std::vector<std::string> lan_ipv4_addresses();

struct TabletServerOptions {
  QString files_folder;  // the page files: the executable's folder
  MapSettings maps;      // tile addresses and marker pictures of the page
  std::function<void(const std::string&)> log;  // diagnostic lines (the log when DEBUG is on)
};

class TabletServer : public QObject {
  Q_OBJECT

 public:
  static constexpr int kMaxSockets = 8;
  // A tablet that leaves more than this unsent (it stopped reading) is dropped when the next
  // message comes: what waits for one tablet is at most this and one message.
  static constexpr qint64 kMaxUnsentBytes = 256 * 1024;
  // What a tablet may send in one message (it has nothing to send but pongs).
  static constexpr quint64 kMaxIncomingBytes = 1024;
  static constexpr int kPingIntervalMs = 5000;
  // A tablet that has not answered a ping for this long is gone (asleep, out of range).
  static constexpr int kPongTimeoutMs = 20000;
  // The close code a tablet is dropped with when the key changes: it then stops reconnecting.
  static constexpr int kNewKeyCloseCode = 4001;

  explicit TabletServer(TabletServerOptions options, QObject* parent = nullptr);
  ~TabletServer() override;

  // Listens on every IPv4 address (port 0: any free port, for tests). False, with
  // error_text(), when the port cannot be had.
  bool start(quint16 port, const std::string& key);
  void stop();
  bool running() const;
  quint16 port() const;
  QString error_text() const { return error_; }

  // A new key: every tablet is dropped, every request still arriving is refused.
  void set_key(const std::string& key);

  // A successful poll: the sample to every tablet at once.
  void publish_sample(const TabletSample& sample);
  // A failed poll: tablets show "Sin datos del simulador" until the next sample.
  void publish_no_data();
  // Sections of the state (tablet/tablet_state.h): those that changed go to every tablet.
  void update_state(const TabletState& sections);
  const TabletState& state() const { return state_; }

  int tablet_count() const { return static_cast<int>(clients_.size()); }
  // Messages tablets sent (anything but pongs), ignored.
  int ignored_messages() const { return ignored_; }
  // Bytes waiting to be sent to all tablets together.
  qint64 unsent_bytes() const;

 signals:
  void tablets_changed(int count);

 private:
  struct Client {
    QPointer<QWebSocket> socket;
    qint64 last_pong_ms = 0;
  };

  void accept_sockets();
  void take_socket_request(QTcpSocket* socket);
  void send(QWebSocket* socket, const QString& message);
  void send_to_all(const std::string& message);
  void drop(QWebSocket* socket, bool aborted);
  void ping_all();
  void log(const std::string& line) const;
  void count_refusal(int status);
  void report_counts();
  bool request_has_key(const QHttpServerRequest& request) const;

  TabletServerOptions options_;
  std::string key_;
  QString error_;
  QPointer<RequestGate> gate_;
  QHttpServer* http_ = nullptr;
  QWebSocketServer* sockets_ = nullptr;
  QList<Client> clients_;
  TabletState state_;
  std::optional<TabletSample> last_sample_;
  bool datos_ = false;
  QTimer ping_timer_;
  int ignored_ = 0;
  int ignored_reported_ = 0;
  std::map<int, int> refusals_;
  std::map<int, int> refusals_reported_;
};

}  // namespace tolvex
