#pragma once
// A web host on loopback for page tests, on the test's own thread (it answers while the test
// waits in an event loop). It serves fixed bodies by path (404 for the rest), or, silent,
// accepts every connection and never answers, like a script host that hangs.
#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QString>
#include <QTcpServer>

namespace tolvex::test {

class FakeWebHost : public QObject {
 public:
  enum class Mode { answers, silent };
  explicit FakeWebHost(Mode mode = Mode::answers);

  void serve(const QString& path, const QByteArray& body, const QByteArray& type = "text/javascript");
  quint16 port() const { return server_.serverPort(); }
  // "127.0.0.1:port", as a host setting takes it.
  std::string host() const;
  int connections() const { return connections_; }

 private:
  QTcpServer server_;
  Mode mode_;
  QHash<QString, std::pair<QByteArray, QByteArray>> bodies_;
  int connections_ = 0;
};

}  // namespace tolvex::test
