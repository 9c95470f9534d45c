// The live moving map at 10 Hz (INTERVALO 0,1) fed by the network GPS link: a sender thread sends
// XGPS datagrams at 10 Hz to 127.0.0.1 (the sequence number in the latitude, the track turning 7
// degrees a sample), and every MueveAvion call is recorded in the page, as app_live_bench does for
// the IOCP Server. Two figures:
//  - poll tick -> MueveAvion returned: what Tolvex adds once the poll takes the newest datagram
//    (read the socket, build the statement, hand it to the browser, run it), the counterpart of
//    app_live_bench's "reply built -> MueveAvion returned";
//  - datagram sent -> MueveAvion returned: the above plus the wait for the next poll tick, which
//    the polling cycle makes up to one interval long. Sender and timer both run at 10 Hz, so
//    that wait is set by their phase, which drifts only slowly: read it as "0 to 100 ms".
// Run under `xvfb-run -a`. TOLVEX_BENCH_LIVE_SECONDS shortens or lengthens the run (60).
#include <benchmark/benchmark.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QUdpSocket>

#include <cstring>
#include <thread>

#include "app_harness.h"
#include "support/xgps_sender.h"
#include "simlink/xgps_client_qt.h"

namespace tb = tolvex::bench;

namespace {

// Sends "XGPSbench,<lon>,<lat>,..." every 100 ms from a thread of its own; remembers when each
// latitude (in hundred-thousandths) left.
class Sender {
 public:
  explicit Sender(quint16 port) {
    thread_ = std::thread([this, port] {
      QUdpSocket socket;
      for (int seq = 0; !stop_; ++seq) {
        const int lat_e5 = 4000000 + seq;
        char text[128];
        std::snprintf(text, sizeof text, "XGPSbench,-3.70000,%d.%05d,1000.0,%d.00,51.4", lat_e5 / 100000,
                      lat_e5 % 100000, (seq * 7) % 360);
        {
          std::lock_guard lock(mutex);
          sent_ms[lat_e5] = tb::epoch_ms();
        }
        socket.writeDatagram(text, static_cast<qint64>(std::strlen(text)), QHostAddress::LocalHost, port);
        std::this_thread::sleep_until(start_ + std::chrono::milliseconds(100 * (seq + 1)));
      }
    });
  }
  ~Sender() {
    stop_ = true;
    thread_.join();
  }
  std::mutex mutex;
  std::map<int, double> sent_ms;

 private:
  const std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

const char kWrapScript[] =
    "(function(){if(window.__bench)return true;var o=window.MueveAvion;window.__bench=[];"
    "window.MueveAvion=function(lt){var a=performance.timeOrigin+performance.now();"
    "var r=o.apply(this,arguments);"
    "window.__bench.push([lt,a,performance.timeOrigin+performance.now()]);return r;};return true;})()";

// Records when each tick of the poll timer starts, before the window's own handler runs.
class TickRecorder : public QObject {
 public:
  std::vector<double> ticks_ms;
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Timer) ticks_ms.push_back(tb::epoch_ms());
    return QObject::eventFilter(watched, event);
  }
};

void BM_DatagramToMap(benchmark::State& state) {
  const quint16 port = tolvex::test::free_udp_port();
  tb::LocalServers servers(tb::flight_source());  // only its tile server is used
  tb::AppConfig config;
  config.tile_port = servers.tile_port();
  tb::AppSession app(config, {{"CONFIG.INI", tb::xgps_config_ini(config, port)}});
  Sender sender(port);

  // Each MueveAvion statement as it is handed to the browser: latitude key and time.
  std::vector<std::pair<int, double>> handed;
  static const QRegularExpression mueve(QStringLiteral("^MueveAvion\\(([-0-9.]+),"));
  tolvex::BrowserBridge::set_statement_observer([&](const QString& s) {
    const auto m = mueve.match(s);
    if (m.hasMatch()) handed.emplace_back(static_cast<int>(std::lround(m.captured(1).toDouble() * 1e5)), tb::epoch_ms());
  });

  for (auto _ : state) {
    app.start();
    app.connect_and_wait();
    app.evaluate(QString::fromLatin1(kWrapScript));
    double offset = 0;
    const double bound = tb::clock_offset_bound_ms(app, &offset);
    TickRecorder ticks;
    app.window->Timer_auto.installEventFilter(&ticks);
    handed.clear();
    const std::string load_before = tb::loadavg();
    const double t0 = tb::mono_s();
    tb::run_events_for(tb::live_seconds() * 1000);
    const double elapsed = tb::mono_s() - t0;
    app.window->Timer_auto.stop();
    app.window->Timer_auto.removeEventFilter(&ticks);
    tb::run_events_for(300);  // the last statements reach the page
    tolvex::BrowserBridge::set_statement_observer(nullptr);

    const QJsonArray calls =
        QJsonDocument::fromJson(app.evaluate(QStringLiteral("JSON.stringify(window.__bench)")).toString().toUtf8())
            .array();
    // Statements and page calls keep their order; the page may hold calls from before `handed`
    // was cleared at its start, and none came after the timer stopped, so the two lists are
    // aligned at their ends.
    const std::size_t n = std::min<std::size_t>(handed.size(), static_cast<std::size_t>(calls.size()));
    const std::size_t skip_calls = static_cast<std::size_t>(calls.size()) - n;
    const std::size_t skip_handed = handed.size() - n;
    std::vector<double> from_tick, from_send, tick_to_handed, handed_to_page;
    int unmatched = 0;
    std::set<int> first_seen;
    {
      std::lock_guard lock(sender.mutex);
      for (std::size_t i = 0; i < n; ++i) {
        const QJsonArray c = calls.at(static_cast<qsizetype>(skip_calls + i)).toArray();
        const auto& [key, handed_ms] = handed[skip_handed + i];
        if (static_cast<int>(std::lround(c.at(0).toDouble() * 1e5)) != key) {
          ++unmatched;
          continue;
        }
        const double end = c.at(2).toDouble();
        // The tick that ran this poll: the last one that started before the statement was handed.
        const auto tick = std::upper_bound(ticks.ticks_ms.begin(), ticks.ticks_ms.end(), handed_ms);
        if (tick != ticks.ticks_ms.begin()) {
          from_tick.push_back(end - *std::prev(tick));
          tick_to_handed.push_back(handed_ms - *std::prev(tick));
        }
        handed_to_page.push_back(end - handed_ms);
        // A datagram that two polls took counts once, at the first.
        const auto sent = sender.sent_ms.find(key);
        if (sent != sender.sent_ms.end() && first_seen.insert(key).second) from_send.push_back(end - sent->second);
      }
    }
    state.SetIterationTime(elapsed);
    const tb::Stats t = tb::summarize(from_tick);
    state.counters["tick_to_map_median_ms"] = t.median;
    state.counters["tick_to_map_p99_ms"] = t.p99;
    state.counters["sent_to_map_median_ms"] = tb::summarize(from_send).median;
    state.counters["polls_per_s"] = static_cast<double>(ticks.ticks_ms.size()) / elapsed;
    tb::note("Network GPS link over " + std::to_string(elapsed) + " s at INTERVALO 0,1, XGPS at 10 Hz: " +
             std::to_string(ticks.ticks_ms.size()) + " ticks, " + std::to_string(handed.size()) +
             " MueveAvion statements, " + std::to_string(calls.size()) + " calls in the page, " +
             std::to_string(unmatched) + " unmatched, " + std::to_string(app.messages.size()) +
             " messages; page clock offset " + std::to_string(offset) + " ms (+/- " + std::to_string(bound) +
             " ms, not corrected)");
    tb::note(tb::describe("  poll tick -> MueveAvion returned in page", t, "ms"));
    tb::note(tb::describe("    poll tick -> statement handed to browser (host)", tb::summarize(tick_to_handed), "ms"));
    tb::note(tb::describe("    statement handed -> MueveAvion returned (IPC + renderer)", tb::summarize(handed_to_page), "ms"));
    tb::note(tb::describe("  datagram sent -> MueveAvion returned (with the wait for the tick)", tb::summarize(from_send), "ms"));
    tb::note("  load average before: " + load_before + "; after: " + tb::loadavg());
  }
}
BENCHMARK(BM_DatagramToMap)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  return tb::run_benchmarks(argc, argv);
}
