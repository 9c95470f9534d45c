// The live moving map at 10 Hz (INTERVALO 0,1) against a local IOCP server over loopback:
//  - BM_PollToMap: from the reply line leaving the server to MueveAvion having run in the page,
//    matched sample by sample through a page-side record of every call;
//  - BM_LiveCpu: CPU of the program (server thread taken out) and of the browser engine's
//    processes while the page is live;
//  - BM_LiveOverAirspaces: follow mode at 10 Hz circling over Toronto, with none shown (arg 0)
//    or every airspace of the published Canadian OpenAir file shown (arg 1): CPU and memory.
// Run under `xvfb-run -a`. TOLVEX_BENCH_LIVE_SECONDS shortens or lengthens the runs (60).
#include <benchmark/benchmark.h>

#include <cmath>

#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>

#include "app_harness.h"
#include "base/text_file.h"
#include "openair_data.h"
#include "overlays/airspace_catalogue.h"
#include "shell/tolvex_application.h"

namespace tb = tolvex::bench;

namespace {

// Records each MueveAvion call in the page: latitude, wall clock when it started and ended.
const char kWrapScript[] =
    "(function(){if(window.__bench)return true;var o=window.MueveAvion;window.__bench=[];"
    "window.MueveAvion=function(lt){var a=performance.timeOrigin+performance.now();"
    "var r=o.apply(this,arguments);"
    "window.__bench.push([lt,a,performance.timeOrigin+performance.now()]);return r;};return true;})()";

void BM_PollToMap(benchmark::State& state) {
  tb::SequencedSource seq;
  tb::LocalServers servers(seq.source());
  tb::AppConfig config;
  config.iocp_port = servers.iocp_port();
  config.tile_port = servers.tile_port();
  tb::AppSession app(config);

  // When each MueveAvion statement was handed to the browser, by latitude.
  std::map<int, double> sent_ms;
  static const QRegularExpression mueve(QStringLiteral("^MueveAvion\\(([-0-9.]+),"));
  tolvex::BrowserBridge::set_statement_observer([&](const QString& s) {
    const auto m = mueve.match(s);
    if (m.hasMatch()) sent_ms[static_cast<int>(std::lround(m.captured(1).toDouble() * 1e5))] = tb::epoch_ms();
  });

  for (auto _ : state) {
    app.start();
    app.connect_and_wait();
    app.evaluate(QString::fromLatin1(kWrapScript));
    double offset = 0;
    const double bound = tb::clock_offset_bound_ms(app, &offset);
    const int first_reply = servers.replies.load();
    const std::string load_before = tb::loadavg();
    const double t0 = tb::mono_s();
    tb::run_events_for(tb::live_seconds() * 1000);
    const double elapsed = tb::mono_s() - t0;
    const int replies = servers.replies.load() - first_reply;

    const QJsonArray calls =
        QJsonDocument::fromJson(app.evaluate(QStringLiteral("JSON.stringify(window.__bench)")).toString().toUtf8())
            .array();
    std::vector<double> total, host, page, call;
    int unmatched = 0;
    {
      std::lock_guard lock(seq.mutex);
      for (const QJsonValue& v : calls) {
        const QJsonArray c = v.toArray();
        const int key = static_cast<int>(std::lround(c.at(0).toDouble() * 1e5));
        const auto reply = seq.reply_ms.find(key);
        const auto sent = sent_ms.find(key);
        if (reply == seq.reply_ms.end() || sent == sent_ms.end()) {
          ++unmatched;
          continue;
        }
        const double end = c.at(2).toDouble();
        total.push_back(end - reply->second);
        host.push_back(sent->second - reply->second);
        page.push_back(end - sent->second);
        call.push_back(end - c.at(1).toDouble());
      }
    }
    state.SetIterationTime(elapsed);
    const tb::Stats t = tb::summarize(total);
    state.counters["median_ms"] = t.median;
    state.counters["p99_ms"] = t.p99;
    state.counters["max_ms"] = t.max;
    state.counters["samples"] = static_cast<double>(t.n);
    state.counters["polls_per_s"] = replies / elapsed;
    tb::note("Poll to map over " + std::to_string(elapsed) + " s at INTERVALO 0,1: " + std::to_string(replies) +
             " replies, " + std::to_string(calls.size()) + " MueveAvion calls in the page, " +
             std::to_string(unmatched) + " unmatched; page clock offset " + std::to_string(offset) + " ms (+/- " +
             std::to_string(bound) + " ms, not corrected)");
    tb::note(tb::describe("  reply built -> MueveAvion returned in page", t, "ms"));
    tb::note(tb::describe("  reply built -> statement handed to browser (host)", tb::summarize(host), "ms"));
    tb::note(tb::describe("  statement handed -> MueveAvion returned (IPC + renderer)", tb::summarize(page), "ms"));
    tb::note(tb::describe("  MueveAvion body alone", tb::summarize(call), "ms"));
    tb::note("  load average before: " + load_before + "; after: " + tb::loadavg());
  }
  tolvex::BrowserBridge::set_statement_observer(nullptr);
}
BENCHMARK(BM_PollToMap)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

// Arguments: DEBUG on, follow mode on, polling on (off: INTERVALO of an hour, the page idle).
void BM_LiveCpu(benchmark::State& state) {
  const bool debug = state.range(0) != 0;
  const bool follow = state.range(1) != 0;
  const bool polling = state.range(2) != 0;
  tb::LocalServers servers(tb::flight_source());
  tb::AppConfig config;
  config.iocp_port = servers.iocp_port();
  config.tile_port = servers.tile_port();
  config.debug = debug;
  config.follow = follow;
  if (!polling) config.intervalo = "3600";
  tb::AppSession app(config);
  const int self = static_cast<int>(::getpid());
  const double tick = static_cast<double>(tb::ticks_per_second());

  for (auto _ : state) {
    app.start();
    app.connect_and_wait();
    tb::run_events_for(5000);  // first tiles and the one-shot timers settle
    const auto before = tb::tree_cpu(self);
    const auto threads_before = tb::thread_cpu(self);
    const long long server_before = tb::thread_cpu_ticks(self, servers.server_tid);
    const int replies_before = servers.replies.load();
    const int tiles_before = servers.tile_requests();
    const std::string load_before = tb::loadavg();
    const double t0 = tb::mono_s();
    tb::run_events_for(tb::live_seconds() * 1000);
    const double elapsed = tb::mono_s() - t0;
    const auto after = tb::tree_cpu(self);
    const auto threads_after = tb::thread_cpu(self);
    const long long server_ticks = tb::thread_cpu_ticks(self, servers.server_tid) - server_before;
    const int replies = servers.replies.load() - replies_before;

    const double app_pct = 100.0 * (after.at(self) - before.at(self) - server_ticks) / tick / elapsed;
    std::string engine_detail;
    const double engine_pct = tb::children_cpu_pct(before, after, self, elapsed, &engine_detail);
    state.SetIterationTime(elapsed);
    state.counters["tolvex_cpu_pct"] = app_pct;
    state.counters["engine_cpu_pct"] = engine_pct;
    state.counters["polls_per_s"] = replies / elapsed;
    tb::note(std::string("Live CPU (DEBUG=") + (debug ? "S" : "N") + ", AUTOMAT=" + (follow ? "S" : "N") +
             (polling ? ", INTERVALO=0,1" : ", no polling (idle page)") + ") over " + std::to_string(elapsed) +
             " s, simfeed flight model, local tiles: Tolvex " + std::to_string(app_pct) +
             "% of one core (server thread's " + std::to_string(100.0 * server_ticks / tick / elapsed) +
             "% taken out), browser engine processes " + std::to_string(engine_pct) + "%:" + engine_detail);
    tb::note("  " + std::to_string(replies / elapsed) + " polls/s, " +
             std::to_string(servers.tile_requests() - tiles_before) + " tile requests; load average before: " +
             load_before + "; after: " + tb::loadavg());
    tb::note("  busiest Tolvex threads:" + tb::busiest_threads(threads_before, threads_after, elapsed));
  }
}
BENCHMARK(BM_LiveCpu)->Args({0, 1, 1})->Args({1, 1, 1})->Args({0, 0, 1})->Args({0, 1, 0})->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

// A circle of about 8 km around Toronto Pearson in four minutes, the heading along it.
tb::LocalServers::Source toronto_source() {
  auto clock = std::make_shared<QElapsedTimer>();
  clock->start();
  return [clock] {
    const double t = static_cast<double>(clock->elapsed()) / 1000.0, a = 2 * M_PI * t / 240.0;
    const int heading = static_cast<int>(std::lround(std::fmod(360.0 + 90.0 - a * 180.0 / M_PI, 360.0) * 100));
    return simfeed::IocpVariables{static_cast<int>(std::lround((43.68 + 0.07 * std::sin(a)) * 1e5)),
                                  static_cast<int>(std::lround((-79.63 + 0.1 * std::cos(a)) * 1e5)), heading};
  };
}

void BM_LiveOverAirspaces(benchmark::State& state) {
  const bool shown = state.range(0) != 0;
  const std::string bytes = tb::openair_file("CA-ASP-National.txt");
  if (bytes.empty()) {
    state.SkipWithError("no published OpenAir files (../shared/data/openair)");
    return;
  }
  std::string selection;
  for (const tolvex::TAirSpace& a : tolvex::read_airspaces(tolvex::decode_text(bytes), nullptr)) selection += a.AN + "\r\n";
  tb::LocalServers servers(toronto_source());
  tb::AppConfig config;
  config.iocp_port = servers.iocp_port();
  config.tile_port = servers.tile_port();
  config.follow = true;
  config.airspaces = shown;
  tb::AppSession app(config, {{"airspaces.txt", bytes}, {"airspsel.txt", selection}});
  const int self = static_cast<int>(::getpid());
  const double tick = static_cast<double>(tb::ticks_per_second());
  for (auto _ : state) {
    app.start();
    app.connect_and_wait();
    tb::run_events_for(5000);  // the airspace pass, first tiles and the one-shot timers settle
    const int drawn = app.evaluate(QStringLiteral("espacios.length")).toInt();
    const auto before = tb::tree_cpu(self);
    const long long server_before = tb::thread_cpu_ticks(self, servers.server_tid);
    const int replies_before = servers.replies.load();
    const double t0 = tb::mono_s();
    tb::run_events_for(tb::live_seconds() * 1000);
    const double elapsed = tb::mono_s() - t0;
    const auto after = tb::tree_cpu(self);
    const long long server_ticks = tb::thread_cpu_ticks(self, servers.server_tid) - server_before;
    double total_pct = 0;
    for (const auto& [pid, ticks] : after) {
      if (ticks < 0) continue;
      const auto b = before.find(pid);
      total_pct += 100.0 * (ticks - (b == before.end() ? 0 : b->second)) / tick / elapsed;
    }
    total_pct -= 100.0 * server_ticks / tick / elapsed;
    long children_kib = 0;
    const long rss_kib = tb::tree_rss_kib(self, &children_kib);
    state.SetIterationTime(elapsed);
    state.counters["cpu_pct"] = total_pct;
    state.counters["rss_MiB"] = static_cast<double>(rss_kib) / 1024.0;
    state.counters["airspaces_drawn"] = drawn;
    tb::note(std::string("Live over Toronto, follow mode, INTERVALO=0,1, ") +
             (shown ? std::to_string(drawn) + " Canadian airspaces shown" : "no airspace shown") + ", over " +
             std::to_string(elapsed) + " s: Tolvex and its browser engine " + std::to_string(total_pct) +
             "% of one core (server thread taken out), RSS " + std::to_string(rss_kib / 1024) + " MiB (engine " +
             std::to_string(children_kib / 1024) + " MiB), " +
             std::to_string((servers.replies.load() - replies_before) / elapsed) + " polls/s; load average " +
             tb::loadavg());
  }
}
BENCHMARK(BM_LiveOverAirspaces)->Arg(0)->Arg(1)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  return tb::run_benchmarks(argc, argv);
}
