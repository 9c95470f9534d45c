// How the pages' web requests present themselves: identity headers, and the offline switch.
#include <gtest/gtest.h>

#include <QHostAddress>
#include <QNetworkInterface>
#include <QTcpServer>
#include <QTcpSocket>
#include <QWebEngineSettings>

#include <string>
#include <vector>

#include "map/page_harness.h"

namespace tolvex::test {
namespace {

// Records the head of every request it gets and answers each with an empty 404.
class RecordingServer : public QObject {
 public:
  RecordingServer() {
    connect(&server_, &QTcpServer::newConnection, this, [this] {
      while (QTcpSocket* s = server_.nextPendingConnection()) {
        connect(s, &QTcpSocket::readyRead, this, [this, s] {
          buffer_ += s->readAll();
          const int end = buffer_.indexOf("\r\n\r\n");
          if (end < 0) return;
          requests_ << QString::fromLatin1(buffer_.left(end));
          buffer_.clear();
          s->write("HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
          s->disconnectFromHost();
        });
      }
    });
  }
  bool listen(const QHostAddress& address) { return server_.listen(address); }
  quint16 port() const { return server_.serverPort(); }
  const QStringList& requests() const { return requests_; }

 private:
  QTcpServer server_;
  QByteArray buffer_;
  QStringList requests_;
};

std::string page_loading(const QString& address) {
  return "<!DOCTYPE html><html><head><title>p</title></head><body><img src=\"" + address.toStdString() +
         "\" onerror=\"window.hecho = true\" onload=\"window.hecho = true\"/></body></html>";
}

TEST(WebProfile, ViewsMayScriptButNeverReadLocalFiles) {
  PageHarness h;
  QWebEngineSettings* s = h.view().settings();
  EXPECT_TRUE(s->testAttribute(QWebEngineSettings::JavascriptEnabled));
  EXPECT_FALSE(s->testAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls));
}

// In a portable install the page files lie beside the pilot's data: a page (and any script it
// runs) gets the page files, and nothing else, whichever way it asks.
TEST(WebProfile, PageSchemeServesThePageFilesAndNothingElse) {
  PageHarness h;
  h.folder().write("CONFIG.INI", "[MAPAS]\r\nCLAVE=secreta-7f3a\r\n");
  h.folder().write("probe.js", "window.probe_loaded = true;");
  const QString local = QUrl::fromLocalFile(h.folder().qpath() + QStringLiteral("CONFIG.INI")).toString();
  const std::vector<std::pair<QString, bool>> reads = {
      {QStringLiteral("probe.js"), true},
      {QStringLiteral("tolvex://app/probe.js"), true},
      {QStringLiteral("tolvex://app/CONFIG.INI"), false},
      {QStringLiteral("tolvex://app/leaflet/../CONFIG.INI"), false},
      {QStringLiteral("tolvex://app/%2e%2e/CONFIG.INI"), false},
      {QStringLiteral("tolvex://app/x/..%2fCONFIG.INI"), false},
      {QStringLiteral("tolvex://other/probe.js"), false},
      {local, false},
  };
  std::string script = "<script>window.got = {};function put(k, v) { window.got[k] = v; }";
  for (std::size_t i = 0; i < reads.size(); ++i) {
    const std::string n = std::to_string(i), address = reads[i].first.toStdString();
    script += "try { var x" + n + " = new XMLHttpRequest(); x" + n + ".open('GET', '" + address + "');"
              "x" + n + ".onload = function() { put(" + n + ", x" + n + ".status < 400 && x" + n + ".responseText.length > 0"
              " ? x" + n + ".responseText : ''); };"
              "x" + n + ".onerror = function() { put(" + n + ", ''); }; x" + n + ".send(); } catch (e) { put(" + n + ", ''); }";
  }
  script += "</script>";
  ASSERT_TRUE(h.load("<!DOCTYPE html><html><head>" + script + "<script src=\"probe.js\"></script></head><body></body></html>"));
  ASSERT_TRUE(h.wait_until(QStringLiteral("Object.keys(window.got).length === %1").arg(reads.size())));
  EXPECT_TRUE(h.eval(QStringLiteral("window.probe_loaded === true")).toBool()) << "a page loads its files";
  for (std::size_t i = 0; i < reads.size(); ++i) {
    const QString got = h.eval(QStringLiteral("window.got[%1]").arg(i)).toString();
    EXPECT_EQ(!got.isEmpty(), reads[i].second) << reads[i].first.toStdString() << ": " << got.toStdString();
    EXPECT_FALSE(got.contains(QStringLiteral("secreta"))) << reads[i].first.toStdString();
  }
}

TEST(WebProfile, RequestsFromALocalPageCarryTheProgramIdentity) {
  RecordingServer server;
  ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
  PageHarness h;
  const QString address = QStringLiteral("http://127.0.0.1:%1/9/250/190.png").arg(server.port());
  ASSERT_TRUE(h.load(page_loading(address)));
  ASSERT_TRUE(h.wait_until("window.hecho === true"));
  ASSERT_FALSE(server.requests().isEmpty());
  const QString head = server.requests().first();
  EXPECT_TRUE(head.startsWith("GET /9/250/190.png ")) << head.toStdString();
  EXPECT_TRUE(head.contains(QStringLiteral("\r\nUser-Agent: %1\r\n").arg(kUserAgent), Qt::CaseInsensitive))
      << head.toStdString();
  EXPECT_TRUE(head.contains(QStringLiteral("\r\nReferer: %1\r\n").arg(kReferer), Qt::CaseInsensitive))
      << head.toStdString();
}

TEST(WebProfile, EngineFlagsSwitchTheCompilationCacheOffAndTheZygoteWithoutSandbox) {
  struct Case {
    const char* flags;
    bool sandbox_off;
    const char* expected;
  };
  const Case cases[] = {
      {"", false, "--js-flags=--no-compilation-cache"},
      {" --no-first-run  --disable-gpu ", false, "--no-first-run --disable-gpu --js-flags=--no-compilation-cache"},
      {"--a --js-flags=--expose-gc --b", false, "--a --js-flags=--expose-gc,--no-compilation-cache --b"},
      {"--js-flags=--max-old-space-size=64", false, "--js-flags=--max-old-space-size=64,--no-compilation-cache"},
      {"--js-flags=", false, "--js-flags=--no-compilation-cache"},
      {"--js-flags=--no-compilation-cache,--expose-gc", false, "--js-flags=--no-compilation-cache,--expose-gc"},
      {"--no-sandbox", true, "--no-sandbox --js-flags=--no-compilation-cache --no-zygote"},
      {"--no-zygote --js-flags=--no-compilation-cache", true, "--no-zygote --js-flags=--no-compilation-cache"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(browser_engine_flags(c.flags, c.sandbox_off), QByteArray(c.expected)) << c.flags;
}

TEST(WebProfile, OfflineModeStopsRequestsToOtherMachines) {
  // A non-loopback address of this machine stands in for a remote server.
  QHostAddress own;
  for (const QHostAddress& a : QNetworkInterface::allAddresses())
    if (a.protocol() == QAbstractSocket::IPv4Protocol && !a.isLoopback()) own = a;
  if (own.isNull()) GTEST_SKIP() << "no non-loopback address on this machine";
  RecordingServer server;
  ASSERT_TRUE(server.listen(own));
  const QString address = QStringLiteral("http://%1:%2/").arg(own.toString()).arg(server.port());

  PageHarness h;  // turns offline mode on
  ASSERT_TRUE(remote_requests_blocked());
  ASSERT_TRUE(h.load(page_loading(address + "bloqueada.png")));
  ASSERT_TRUE(h.wait_until("window.hecho === true"));
  pump_events(200);
  EXPECT_TRUE(server.requests().isEmpty());

  set_remote_requests_blocked(false);
  ASSERT_TRUE(h.load(page_loading(address + "permitida.png"), "otra.html"));
  ASSERT_TRUE(h.wait_until("window.hecho === true"));
  pump_events(200);
  set_remote_requests_blocked(true);
  ASSERT_EQ(server.requests().size(), 1);
  EXPECT_TRUE(server.requests().first().startsWith("GET /permitida.png "));
}

}  // namespace
}  // namespace tolvex::test
