// The IOCP client against the fake server over real loopback TCP.
#include "simlink/iocp_client_qt.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTcpServer>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <future>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

#include <ostream>
#include <stdexcept>
#include <string>

#include "support/fake_iocp_server.h"

namespace tolvex {
namespace {

using test::FakeIocpServer;

// Only for the waits meant to expire; a server that answers gets the default bounds, so a
// loaded machine cannot turn a good exchange into a time-out.
IocpClient::Timeouts short_timeouts() {
  IocpClient::Timeouts t;
  t.connect_ms = 300;
  t.greeting_ms = 300;
  t.reply_ms = 300;
  t.close_ms = 300;
  return t;
}

std::string error_of(const std::function<void()>& f) {
  try {
    f();
  } catch (const std::runtime_error& e) {
    return e.what();
  }
  return "";
}

bool contains(const std::string& text, const std::string& piece) { return text.find(piece) != std::string::npos; }

struct Sample {
  double lat = 0, lon = 0;
  std::int32_t heading = 0;
};

struct GoodServerCase {
  const char* name;
  simfeed::FeedBehaviour behaviour;
  int keepalive_answers_at_least;  // "Arn.Vivo:" lines the server must have had from us
};

simfeed::FeedBehaviour behaviour(std::function<void(simfeed::FeedBehaviour&)> tweak) {
  simfeed::FeedBehaviour b;
  tweak(b);
  return b;
}

void PrintTo(const GoodServerCase& c, std::ostream* os) { *os << c.name; }

class PollsAGoodServer : public ::testing::TestWithParam<GoodServerCase> {};

TEST_P(PollsAGoodServer, ReadsEverySampleAndAnswersKeepAlives) {
  FakeIocpServer server(GetParam().behaviour);
  IocpClient client;
  client.open("127.0.0.1", server.port());
  ASSERT_TRUE(client.is_alive());
  const simfeed::IocpVariables samples[] = {{4047123, -370912, 27049}, {-3350000, 15125000, 35960}, {1, -1, 0}};
  const Sample expected[] = {{40.47123, -3.70912, 270}, {-33.5, 151.25, 360}, {0.00001, -0.00001, 0}};
  for (int i = 0; i < 3; ++i) {
    server.set_sample(samples[i]);
    Sample got;
    client.poll(got.lat, got.lon, got.heading);
    EXPECT_DOUBLE_EQ(got.lat, expected[i].lat);
    EXPECT_DOUBLE_EQ(got.lon, expected[i].lon);
    EXPECT_EQ(got.heading, expected[i].heading);
  }
  EXPECT_TRUE(server.wait_until([&] { return server.count_lines("Arn.Vivo:") >= GetParam().keepalive_answers_at_least; }))
      << server.count_lines("Arn.Vivo:");
  EXPECT_EQ(server.count_lines("Arn.Preg:69:70:79:"), 3);
}

INSTANTIATE_TEST_SUITE_P(
    Servers, PollsAGoodServer,
    ::testing::Values(GoodServerCase{"CrLf", {}, 0},
                      GoodServerCase{"LfOnly", behaviour([](auto& b) { b.lf_only = true; }), 0},
                      // Each reply comes in three pieces with a keep-alive glued to its end:
                      // answered at the next poll.
                      GoodServerCase{"SplitLines", behaviour([](auto& b) { b.split = true; }), 2},
                      GoodServerCase{"SplitLfOnly", behaviour([](auto& b) { b.split = b.lf_only = true; }), 2},
                      // The reply is held back until the keep-alive is answered.
                      GoodServerCase{"KeepAliveBetween", behaviour([](auto& b) { b.keepalive_between = true; }), 3},
                      GoodServerCase{"FrequentKeepAlives", behaviour([](auto& b) { b.keepalive_ms = 1; }), 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(IocpClient, StalledServerCostsOneWaitThenPollsFailAtOnce) {
  // Keep-alives from a stalled server do not stretch the wait for the reply.
  for (const bool keepalives : {false, true}) {
    SCOPED_TRACE(keepalives ? "with keep-alives" : "silent");
    FakeIocpServer server(behaviour([&](auto& b) {
      b.stall_after = 1;
      b.keepalive_while_stalled = keepalives;
      b.keepalive_ms = keepalives ? 20 : 15000;
    }));
    IocpClient client;
    client.open("127.0.0.1", server.port());
    Sample s;
    client.poll(s.lat, s.lon, s.heading);
    EXPECT_EQ(s.heading, 270);
    client.set_timeouts(short_timeouts());
    EXPECT_TRUE(contains(error_of([&] { client.poll(s.lat, s.lon, s.heading); }), "no respondió"));
    EXPECT_FALSE(client.is_alive());
    // No further request goes out: the dropped connection fails at once.
    EXPECT_TRUE(contains(error_of([&] { client.poll(s.lat, s.lon, s.heading); }), "no respondió"));
    EXPECT_TRUE(server.wait_until([&] { return server.connections_closed() == 1; }));
    EXPECT_EQ(server.count_lines("Arn.Preg:69:70:79:"), 2);
  }
}

// A server that floods keep-alives and never reads: our answers must not pile up without end.
TEST(IocpClient, ServerThatNeverReadsIsDroppedWithBoundedMemory) {
  FakeIocpServer server(behaviour([](auto& b) { b.flood_keepalives = true; }));
  IocpClient client;
  client.open("127.0.0.1", server.port());
  // A real event loop (not one that sleeps between turns): the flood is read as fast as it comes.
  std::int64_t most_unsent = 0;
  QEventLoop loop;
  QTimer watch;
  QObject::connect(&watch, &QTimer::timeout, [&] {
    most_unsent = std::max(most_unsent, client.unsent_bytes());
    if (!client.is_alive()) loop.quit();
  });
  watch.start(1);
  QTimer::singleShot(60000, &loop, &QEventLoop::quit);  // a loaded machine answers fewer keep-alives a second
  loop.exec();
  EXPECT_FALSE(client.is_alive());
  EXPECT_LE(most_unsent, IocpClient::kWriteBufferBytes + 64);
  Sample s;
  EXPECT_TRUE(contains(error_of([&] { client.poll(s.lat, s.lon, s.heading); }), "no lee")) << "the reason stays";
}

TEST(IocpClient, LinesNobodyAskedForAreNeverTakenForTheReply) {
  struct Case {
    const char* name;
    int lines;
    bool event_loop_between_polls;  // the window's loop runs between polls, or a poll follows at once
  };
  // About 6 MB of stale replies after each reply: far more than the socket may hold.
  const Case cases[] = {{"one line, poll at once", 1, false}, {"a flood between polls", 200000, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeIocpServer server(behaviour([&](auto& b) {
      b.unsolicited_lines = c.lines;
      b.unsolicited_delay_ms = 30;
    }));
    IocpClient client;
    client.open("127.0.0.1", server.port());
    Sample s;
    client.poll(s.lat, s.lon, s.heading);
    std::int64_t most_held = 0;
    if (c.event_loop_between_polls) {
      EXPECT_TRUE(QTest::qWaitFor(
          [&] {
            most_held = std::max(most_held, client.buffered_bytes());
            return client.unsolicited_lines() == c.lines;
          },
          30000))
          << client.unsolicited_lines();
    } else {
      QThread::msleep(200);  // the line is in the system's hands, not read yet
    }
    EXPECT_LE(most_held, IocpClient::kReadBufferBytes + 64 * 1024);
    server.set_sample({-3350000, 15125000, 35960});
    client.poll(s.lat, s.lon, s.heading);
    EXPECT_DOUBLE_EQ(s.lat, -33.5);
    EXPECT_EQ(s.heading, 360);
    EXPECT_TRUE(client.is_alive());
  }
}

TEST(IocpClient, HostNameLookupCountsTowardTheConnectLimit) {
  FakeIocpServer server;
  // A lookup that hangs (a name server that never answers) until the test lets it go.
  auto release = std::make_shared<std::promise<void>>();
  auto asked = std::make_shared<std::atomic<int>>(0);
  IocpClient client;
  client.set_timeouts(short_timeouts());
  client.set_resolver([release_done = release->get_future().share(), asked](const std::string&) {
    ++*asked;
    release_done.wait_for(std::chrono::seconds(10));
    return std::vector<std::string>{"127.0.0.1"};
  });
  EXPECT_EQ(error_of([&] { client.open("simulador.lan", server.port()); }),
            "No se pudo conectar con el IOCP Server en simulador.lan:" + std::to_string(server.port()) +
                " (sin respuesta en 300 ms)");
  EXPECT_EQ(asked->load(), 1);
  release->set_value();
  EXPECT_FALSE(client.is_open());

  // Names the resolver knows connect; names nobody knows fail within the limit.
  client.set_resolver([](const std::string& host) {
    return host == "simulador.lan" ? std::vector<std::string>{"127.0.0.1"} : std::vector<std::string>{};
  });
  client.open("simulador.lan", server.port());
  EXPECT_TRUE(client.is_alive());
  client.close();
  EXPECT_TRUE(contains(error_of([&] { client.open("otro.lan", server.port()); }), "no se encuentra el servidor"));
  IocpClient system_lookup;
  system_lookup.set_timeouts(short_timeouts());
  EXPECT_TRUE(contains(error_of([&] { system_lookup.open("simulador.invalid", server.port()); }), "No se pudo conectar"));
}

TEST(IocpClient, ClosingProgramEndsWaitsButKeepsTheConnectionForItsGoodbye) {
  FakeIocpServer server(behaviour([](auto& b) { b.stall_after = 1; }));
  IocpClient client;
  auto closing = std::make_shared<std::atomic<bool>>(false);
  client.set_interrupt_check([closing] { return closing->load(); });
  client.open("127.0.0.1", server.port());
  Sample s;
  client.poll(s.lat, s.lon, s.heading);
  std::thread signal([closing] {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    closing->store(true);
  });
  const std::string error = error_of([&] { client.poll(s.lat, s.lon, s.heading); });  // waits 5 s otherwise
  signal.join();
  EXPECT_TRUE(contains(error, "interrumpida")) << error;
  EXPECT_TRUE(client.is_alive());
  client.close();
  EXPECT_TRUE(server.wait_until([&] { return server.count_lines("Arn.Fin:") == 1; }));
}

TEST(IocpClient, ServerThatDiesMakesEveryPollFail) {
  struct Case {
    const char* name;
    simfeed::FeedBehaviour behaviour;
  };
  const Case cases[] = {{"Drop", behaviour([](auto& b) { b.drop_after = 1; })},
                        {"DropMidLine", behaviour([](auto& b) { b.drop_after = 1, b.drop_mid_line = true; })}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeIocpServer server(c.behaviour);
    IocpClient client;
    client.open("127.0.0.1", server.port());
    Sample s;
    client.poll(s.lat, s.lon, s.heading);
    server.set_sample({1, 2, 300});
    // Half a reply line is no reply: nothing of it reaches the sample.
    for (int i = 0; i < 3; ++i)
      EXPECT_TRUE(contains(error_of([&] { client.poll(s.lat, s.lon, s.heading); }), "cerró la conexión"));
    EXPECT_DOUBLE_EQ(s.lat, 40.47123);
    EXPECT_EQ(s.heading, 270);
    // Closing a dead connection reports it, calls nobody, and leaves the client closed.
    int callbacks = 0;
    client.set_disconnected_callback([&] { ++callbacks; });
    EXPECT_FALSE(error_of([&] { client.close(); }).empty());
    EXPECT_EQ(callbacks, 0);
    EXPECT_FALSE(client.is_open());
  }
}

TEST(IocpClient, BadReplyKeepsEarlierFieldsAndTheConnection) {
  FakeIocpServer server(behaviour([](auto& b) { b.garbage = true; }));
  IocpClient client;
  client.open("127.0.0.1", server.port());
  Sample s{1.0, 2.0, 3};
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(error_of([&] { client.poll(s.lat, s.lon, s.heading); }), "'basura' no es un valor entero válido");
    EXPECT_DOUBLE_EQ(s.lat, 40.47123);
    EXPECT_DOUBLE_EQ(s.lon, 2.0);
    EXPECT_EQ(s.heading, 3);
  }
  EXPECT_TRUE(client.is_alive());
}

TEST(IocpClient, OverlongReplyDropsTheConnection) {
  FakeIocpServer server(behaviour([](auto& b) { b.overlong = true; }));
  IocpClient client;
  client.open("127.0.0.1", server.port());
  Sample s;
  EXPECT_TRUE(contains(error_of([&] { client.poll(s.lat, s.lon, s.heading); }), "demasiado larga"));
  EXPECT_FALSE(client.is_alive());
  EXPECT_TRUE(contains(error_of([&] { client.poll(s.lat, s.lon, s.heading); }), "demasiado larga"));
}

TEST(IocpClient, OpenFailsWithoutGreetingOrListener) {
  {
    FakeIocpServer server(behaviour([](auto& b) { b.greeting = false; }));
    IocpClient client;
    client.set_timeouts(short_timeouts());
    EXPECT_TRUE(contains(error_of([&] { client.open("127.0.0.1", server.port()); }), "primera línea"));
    EXPECT_FALSE(client.is_open());
    Sample s;
    EXPECT_FALSE(error_of([&] { client.poll(s.lat, s.lon, s.heading); }).empty());
  }
  {
    quint16 free_port = 0;
    {
      QTcpServer probe;
      ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
      free_port = probe.serverPort();
    }
    IocpClient client;
    EXPECT_TRUE(contains(error_of([&] { client.open("127.0.0.1", free_port); }), "No se pudo conectar"));
    EXPECT_FALSE(client.is_open());
  }
  {
    IocpClient client;
    EXPECT_TRUE(contains(error_of([&] { client.open("127.0.0.1", 0); }), "Puerto no válido"));
  }
}

TEST(IocpClient, CloseSaysGoodbyeThenClosesAndCallsBackOnce) {
  // This server does not hang up on the goodbye, so the connection's end is the client's doing.
  FakeIocpServer server(behaviour([](auto& b) { b.close_on_goodbye = false; }));
  IocpClient client;
  int callbacks = 0;
  bool open_during_callback = true;
  client.set_disconnected_callback([&] {
    ++callbacks;
    open_during_callback = client.is_open();
  });
  client.open("127.0.0.1", server.port());
  Sample s;
  client.poll(s.lat, s.lon, s.heading);
  client.close();
  EXPECT_EQ(callbacks, 1);
  EXPECT_FALSE(open_during_callback);
  EXPECT_FALSE(client.is_open());
  ASSERT_TRUE(server.wait_until([&] { return server.connections_closed() == 1; }));
  const auto events = server.events();
  ASSERT_GE(events.size(), 2u);
  EXPECT_EQ(events[events.size() - 2].line, "Arn.Fin:");
  EXPECT_TRUE(events.back().closed);
  client.close();  // nothing open: nothing happens
  EXPECT_EQ(callbacks, 1);
}

TEST(IocpClient, ServerServesSeveralClientsAtOnce) {
  FakeIocpServer server;
  IocpClient first, second;
  first.open("127.0.0.1", server.port());
  second.open("127.0.0.1", server.port());
  Sample a, b;
  first.poll(a.lat, a.lon, a.heading);
  second.poll(b.lat, b.lon, b.heading);
  first.close();
  second.poll(b.lat, b.lon, b.heading);
  EXPECT_EQ(b.heading, 270);
  second.close();
  EXPECT_TRUE(server.wait_until([&] { return server.connections_closed() == 2; }));
}

// After the connection went, it is made again in the background: reopen_async returns at once
// and says later how the attempt ended.
TEST(IocpClient, ReconnectsInTheBackground) {
  struct Case {
    const char* name;
    const char* host;
    std::optional<simfeed::FeedBehaviour> server_back;  // listening again at the attempt, or nothing
    bool name_known;                                    // the name still resolves at the attempt
    std::string error;                                  // a piece of the attempt's error; empty: connected
  };
  const simfeed::FeedBehaviour good, silent = behaviour([](auto& b) { b.greeting = false; });
  const Case cases[] = {
      {"server back", "127.0.0.1", good, true, ""},
      {"server back, by name", "simulador.lan", good, true, ""},
      {"nothing listening", "127.0.0.1", std::nullopt, true, "(conexión rechazada)"},
      {"no greeting", "127.0.0.1", silent, true, "no envió su primera línea en 300 ms"},
      {"name unknown now", "simulador.lan", good, false, "(no se encuentra el servidor)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto server = std::make_unique<FakeIocpServer>(behaviour([](auto& b) { b.drop_after = 1; }));
    const quint16 port = server->port();
    IocpClient client;
    client.set_resolver([](const std::string& host) {
      return host == "simulador.lan" ? std::vector<std::string>{"127.0.0.1"} : std::vector<std::string>{};
    });
    client.open(c.host, port);
    Sample s;
    client.poll(s.lat, s.lon, s.heading);
    EXPECT_FALSE(error_of([&] { client.poll(s.lat, s.lon, s.heading); }).empty());
    ASSERT_FALSE(client.is_alive());
    server.reset();
    if (c.server_back) server = std::make_unique<FakeIocpServer>(*c.server_back, simfeed::IocpVariables{1, 2, 9000}, port);
    if (!c.name_known) client.set_resolver([](const std::string&) { return std::vector<std::string>{}; });
    client.set_timeouts(short_timeouts());

    std::optional<std::string> result;
    QElapsedTimer elapsed;
    elapsed.start();
    client.reopen_async([&](const std::string& error) { result = error; });
    EXPECT_LT(elapsed.elapsed(), 100) << "the attempt never blocks";
    EXPECT_TRUE(client.reopening());
    EXPECT_TRUE(contains(error_of([&] { client.poll(s.lat, s.lon, s.heading); }), "cerró la conexión"))
        << "no request goes out meanwhile";
    ASSERT_TRUE(QTest::qWaitFor([&] { return result.has_value(); }, 5000));
    EXPECT_FALSE(client.reopening());
    if (c.error.empty()) {
      EXPECT_EQ(*result, "");
      ASSERT_TRUE(client.is_alive());
      client.poll(s.lat, s.lon, s.heading);
      EXPECT_EQ(s.heading, 90);
      client.close();
      EXPECT_TRUE(server->wait_until([&] { return server->count_lines("Arn.Fin:") == 1; }));
    } else {
      EXPECT_TRUE(contains(*result, c.error)) << *result;
      EXPECT_FALSE(client.is_alive());
    }
  }
}

TEST(IocpClient, ClosingCancelsTheReconnect) {
  auto server = std::make_unique<FakeIocpServer>(behaviour([](auto& b) { b.drop_after = 0; }));
  IocpClient client;
  client.open("127.0.0.1", server->port());
  Sample s;
  EXPECT_FALSE(error_of([&] { client.poll(s.lat, s.lon, s.heading); }).empty());
  int calls = 0;
  client.reopen_async([&](const std::string&) { ++calls; });
  EXPECT_FALSE(error_of([&] { client.close(); }).empty()) << "a dead link's close says why";
  EXPECT_FALSE(client.reopening());
  QTest::qWait(200);
  EXPECT_EQ(calls, 0);
  EXPECT_EQ(server->count_lines("Arn.Fin:"), 0);
}

TEST(IocpClient, ReopensAfterClose) {
  FakeIocpServer server;
  IocpClient client;
  Sample s;
  for (int i = 0; i < 2; ++i) {
    client.open("127.0.0.1", server.port());
    client.poll(s.lat, s.lon, s.heading);
    client.close();
  }
  EXPECT_TRUE(server.wait_until([&] { return server.count_lines("Arn.Fin:") == 2; }));
  EXPECT_TRUE(contains(error_of([&] { client.poll(s.lat, s.lon, s.heading); }), "No hay conexión"));
}

}  // namespace
}  // namespace tolvex
