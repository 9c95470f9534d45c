// The tablet server on a real port: raw requests on the wire, a real WebSocket client, and a real
// second browser view opening the tablet page over loopback.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QWebSocket>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <memory>
#include <string>

#include "map/page_harness.h"
#include "tablet/tablet_server_qt.h"
#include "tablet/tablet_state.h"

namespace tolvex::test {
namespace {

const std::string kKey = "ClaveDePrueba_0123456789abcdef";

class TabletServerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ensure_test_environment();
    TabletServerOptions options;
    options.files_folder = built_program_folder();
    const std::string no_tiles = "http://127.0.0.1:9/{z}/{x}/{y}.png";
    options.maps.teselas_normal = options.maps.teselas_satelite = options.maps.teselas_hibrido =
        options.maps.teselas_relieve = no_tiles;
    options.maps.marca_naranja = "mm_20_orange.png";
    options.maps.marca_azul = "mm_20_blue.png";
    options.maps.marca_roja = "mm_20_red.png";
    server = std::make_unique<TabletServer>(options);
    ASSERT_TRUE(server->start(0, kKey)) << server->error_text().toStdString();
  }

  QString address(const std::string& key, const std::string& path = "/") const {
    return QStringLiteral("http://127.0.0.1:%1%2?clave=%3")
        .arg(server->port())
        .arg(QString::fromStdString(path), QString::fromStdString(key));
  }

  // Sends `request` as it stands and returns everything the server answers until it closes
  // the connection, which it does after one answer.
  QByteArray exchange(const QByteArray& request) {
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, server->port());
    if (!wait_for([&] { return socket.state() == QAbstractSocket::ConnectedState; })) return "no connection";
    socket.write(request);
    QByteArray answer;
    const bool closed = wait_for([&] {
      answer += socket.readAll();
      return socket.state() == QAbstractSocket::UnconnectedState;
    });
    return closed ? answer + socket.readAll() : "still open after: " + answer;
  }

  std::unique_ptr<TabletServer> server;
};

QByteArray get(const std::string& target, const std::string& extra_headers = "") {
  return QByteArray::fromStdString("GET " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\n" + extra_headers + "\r\n");
}

// What goes over the wire: only a request with the key reaches anything, and only a head that
// is bounded and bodiless.
TEST_F(TabletServerTest, AnswersOnTheWireOnlyWhatTheGateAllows) {
  const std::string big(9000, 'x');
  struct Case {
    const char* what;
    QByteArray request;
    const char* status_line;
    bool content;
  } cases[] = {
      {"page with the key", get("/?clave=" + kKey), "HTTP/1.1 200", true},
      {"page file with the key", get("/leaflet/leaflet.js?clave=" + kKey), "HTTP/1.1 200", true},
      {"page without a key", get("/"), "HTTP/1.1 403", false},
      {"page with a wrong key", get("/?clave=" + kKey.substr(1) + "X"), "HTTP/1.1 403", false},
      {"page file without a key", get("/leaflet/leaflet.js"), "HTTP/1.1 403", false},
      {"settings file", get("/CONFIG.INI?clave=" + kKey), "HTTP/1.1 404", false},
      {"head over 8 KiB", get("/?clave=" + kKey, "X-Relleno: " + big + "\r\n"), "HTTP/1.1 431", false},
      {"a body", QByteArray::fromStdString("POST /?clave=" + kKey + " HTTP/1.1\r\nContent-Length: 5\r\n\r\nhola!"),
       "HTTP/1.1 413", false},
      {"another method", QByteArray::fromStdString("DELETE /?clave=" + kKey + " HTTP/1.1\r\n\r\n"), "HTTP/1.1 405",
       false},
      {"two requests at once", get("/?clave=" + kKey) + get("/CONFIG.INI?clave=" + kKey), "HTTP/1.1 400", false},
  };
  for (const Case& c : cases) {
    const QByteArray answer = exchange(c.request);
    EXPECT_TRUE(answer.startsWith(c.status_line)) << c.what << ": " << answer.left(200).toStdString();
    const qsizetype body = answer.indexOf("\r\n\r\n");
    ASSERT_GE(body, 0) << c.what;
    EXPECT_EQ(answer.size() > body + 4, c.content) << c.what;
  }
  const QByteArray page = exchange(get("/?clave=" + kKey));
  EXPECT_TRUE(page.contains("Content-Security-Policy: default-src 'none'; script-src 'self';")) << page.left(600).toStdString();
}

// Hundreds of airspaces make a state larger than what may wait for a tablet: it still goes whole.
TEST_F(TabletServerTest, AStateLargerThanTheUnsentLimitReachesALateTablet) {
  const std::string big = "[{\"nombre\":\"" + std::string(3 * TabletServer::kMaxUnsentBytes, 'e') + "\"}]";
  server->update_state({{kSectionEspacios, big}});
  QWebSocket client;
  qsizetype largest = 0;
  QObject::connect(&client, &QWebSocket::textMessageReceived, [&](const QString& m) { largest = std::max(largest, m.size()); });
  client.open(QUrl(address(kKey, "/enlace").replace(QStringLiteral("http:"), QStringLiteral("ws:"))));
  ASSERT_TRUE(wait_for([&] { return largest > 3 * TabletServer::kMaxUnsentBytes; }));
  server->publish_sample({40.5, -3.5, 10});
  pump_events(300);
  EXPECT_EQ(server->tablet_count(), 1);
}

TEST_F(TabletServerTest, ASocketWithoutTheKeyNeverOpens) {
  for (const std::string& key : {std::string(), std::string("otra"), kKey + "x"}) {
    QWebSocket client;
    QSignalSpy connected(&client, &QWebSocket::connected);
    client.open(QUrl(QStringLiteral("ws://127.0.0.1:%1/enlace?clave=%2").arg(server->port()).arg(QString::fromStdString(key))));
    pump_events(700);
    EXPECT_EQ(connected.count(), 0) << key;
    EXPECT_EQ(server->tablet_count(), 0) << key;
  }
  // The same with the key opens, and the state comes first.
  QWebSocket client;
  QStringList received;
  QObject::connect(&client, &QWebSocket::textMessageReceived, [&](const QString& m) { received << m; });
  client.open(QUrl(address(kKey, "/enlace").replace(QStringLiteral("http:"), QStringLiteral("ws:"))));
  ASSERT_TRUE(wait_for([&] { return !received.isEmpty(); }));
  EXPECT_TRUE(received.first().startsWith(QStringLiteral("{\"tipo\":\"estado\""))) << received.first().toStdString();
}

// A tablet may send nothing but pongs: the rest is ignored and counted; at most 8 tablets at
// once; a new key drops them all with a code that tells the page not to come back.
TEST_F(TabletServerTest, CountsWhatTabletsSayLimitsThemAndDropsThemOnANewKey) {
  std::vector<std::unique_ptr<QWebSocket>> clients;
  std::vector<int> close_codes;
  for (int i = 0; i < TabletServer::kMaxSockets + 1; ++i) {
    auto c = std::make_unique<QWebSocket>();
    QObject::connect(c.get(), &QWebSocket::disconnected, [&close_codes, s = c.get()] { close_codes.push_back(s->closeCode()); });
    c->open(QUrl(address(kKey, "/enlace").replace(QStringLiteral("http:"), QStringLiteral("ws:"))));
    if (i < TabletServer::kMaxSockets) {
      ASSERT_TRUE(wait_for([&] { return server->tablet_count() == i + 1; })) << i;
    }
    clients.push_back(std::move(c));
  }
  pump_events(500);
  EXPECT_EQ(server->tablet_count(), TabletServer::kMaxSockets);

  clients[0]->sendTextMessage(QStringLiteral("{\"tipo\":\"muestra\",\"lat\":1,\"lng\":2,\"hdg\":3}"));
  clients[1]->sendBinaryMessage("\x01\x02");
  ASSERT_TRUE(wait_for([&] { return server->ignored_messages() == 2; }));
  EXPECT_EQ(server->tablet_count(), TabletServer::kMaxSockets);

  close_codes.clear();
  server->set_key("OtraClaveDePrueba_0123456789abc");
  ASSERT_TRUE(wait_for([&] { return server->tablet_count() == 0; }));
  ASSERT_TRUE(wait_for([&] { return close_codes.size() == TabletServer::kMaxSockets; }));
  for (int code : close_codes) EXPECT_EQ(code, TabletServer::kNewKeyCloseCode);
  EXPECT_TRUE(exchange(get("/?clave=" + kKey)).startsWith("HTTP/1.1 403"));
}

// A device that asks for the socket and then never reads: the server keeps at most its limit
// unsent for it, then closes it.
TEST_F(TabletServerTest, ASocketThatNeverReadsIsClosedWithBoundedMemory) {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  ASSERT_GE(fd, 0);
  const int small = 4096;
  ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_port = htons(server->port());
  to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(::connect(fd, reinterpret_cast<sockaddr*>(&to), sizeof to), 0);
  const std::string handshake = "GET /enlace?clave=" + kKey +
                                " HTTP/1.1\r\nHost: 127.0.0.1\r\nUpgrade: websocket\r\nConnection: Upgrade\r\n"
                                "Sec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\nSec-WebSocket-Version: 13\r\n\r\n";
  ASSERT_EQ(::send(fd, handshake.data(), handshake.size(), 0), static_cast<ssize_t>(handshake.size()));
  ASSERT_TRUE(wait_for([&] { return server->tablet_count() == 1; }));

  // Large state changes, each different, as fast as the server takes them.
  const std::string filler(32 * 1024, 'v');
  qint64 most_unsent = 0;
  int sent = 0;
  for (; sent < 400 && server->tablet_count() == 1; ++sent) {
    server->update_state({{kSectionVfr, "[{\"nombre\":\"" + filler + std::to_string(sent) + "\",\"lat\":1,\"lng\":2}]"}});
    most_unsent = std::max(most_unsent, server->unsent_bytes());
    pump_events(1);
  }
  EXPECT_EQ(server->tablet_count(), 0) << "still open after " << sent << " messages of 32 KiB";
  EXPECT_LE(most_unsent, TabletServer::kMaxUnsentBytes + static_cast<qint64>(filler.size()) + 1024);
  ::close(fd);
}

// A real second browser opens the tablet address: it gets the page and its files through the
// key, draws the state and moves the aircraft with every sample.
TEST_F(TabletServerTest, ATabletBrowserFollowsTheAircraft) {
  server->update_state({{kSectionEspacios, airspaces_section({{"R", "LED 71", "", "", "0,2,ROJO",
                                                                {"DP -0.5,38.1", "DP -0.4,38.2", "DP -0.4,38.1"},
                                                                true, false}},
                                                              true)},
                        {kSectionRuta, route_section(true, "-3.70, 40.40\n-3.60, 40.50\n", LineStyle{})}});
  PageHarness tablet;
  tablet.view().resize(412, 732);  // a phone
  tablet.bridge().load_page(QUrl(address(kKey)));
  ASSERT_TRUE(wait_for_loaded(tablet.bridge()));
  ASSERT_TRUE(tablet.wait_until(QStringLiteral("typeof marcador === 'object' && enlaceAbierto")));
  EXPECT_TRUE(tablet.wait_until(QStringLiteral("nomespacios.length === 1 && nomespacios[0] === 'LED 71'")));
  EXPECT_TRUE(tablet.wait_until(QStringLiteral("polyShape.getPath().getLength() === 2")));
  EXPECT_EQ(tablet.eval(QStringLiteral("document.getElementById('aviso').textContent")).toString(),
            QStringLiteral("Sin datos del simulador"));

  for (int i = 0; i < 5; ++i) {
    const double lat = 40.4 + i * 0.01;
    server->publish_sample({lat, -3.7, 90 * i});
    ASSERT_TRUE(tablet.wait_until(QStringLiteral("Math.abs(marcador.getPosition().lat() - %1) < 1e-9").arg(lat, 0, 'f', 5)))
        << "sample " << i;
  }
  EXPECT_TRUE(tablet.eval(QStringLiteral("document.getElementById('aviso').hidden")).toBool());
  server->publish_no_data();
  EXPECT_TRUE(tablet.wait_until(QStringLiteral("!document.getElementById('aviso').hidden && "
                                               "document.getElementById('aviso').textContent === 'Sin datos del simulador'")));
}

}  // namespace
}  // namespace tolvex::test
