// The tablet view live, with real processes: `tolvex --connect` polls this program's IOCP
// server at 10 Hz (INTERVALO 0,1, follow mode, local tiles) with the tablet view on, and the
// tablets are browser views in a process of their own (tablet_probe), as a phone's browser is.
//  - BM_TabletPollToMarker: from the reply line leaving the server to MueveAvion having run in
//    the tablet's page, sample by sample (the latitude carries the sample's number);
//  - BM_TabletCpu/N: CPU of Tolvex (its process and its browser engine's) and its memory with
//    N tablets open (0, 1, 8); the tablets' own browsers are not counted.
// Run under `xvfb-run -a`. TOLVEX_BENCH_LIVE_SECONDS shortens or lengthens the runs (60).
#include <benchmark/benchmark.h>

#include <sstream>

#include "app_harness.h"
#include "process_harness.h"

namespace tb = tolvex::bench;

namespace {

const char kKey[] = "BancoDePruebas_0123456789abcdefg";

struct TabletRun {
  tolvex::test::TempProgramFolder folder;
  tb::Child app;
  int port = 0;
  ~TabletRun() { tb::end_group(app); }
};

// Tolvex on a fresh folder, polling `servers` at 10 Hz with the tablet view on (and its map's
// glide as `suave` says); 8 s to connect and settle.
void start_tolvex(TabletRun& run, tb::LocalServers& servers, bool suave) {
  QTcpServer probe;
  probe.listen(QHostAddress::AnyIPv4, 0);
  run.port = probe.serverPort();
  probe.close();
  tb::AppConfig config;
  config.iocp_port = servers.iocp_port();
  config.tile_port = servers.tile_port();
  config.suave = suave;
  run.folder.write("CONFIG.INI", tb::config_ini(config) + "[WEB]\r\nSERVIDOR=S\r\nPUERTOWEB=" +
                                     std::to_string(run.port) + "\r\nCLAVEWEB=" + kKey + "\r\n");
  run.app = tb::spawn({tb::executable("TOLVEX_EXECUTABLE", TOLVEX_BENCH_EXECUTABLE), "--folder", run.folder.path(), "--connect"});
  ::sleep(8);
}

tb::Child start_tablets(const TabletRun& run, int views, int seconds, bool record, const std::string& out) {
  const std::string url = "http://127.0.0.1:" + std::to_string(run.port) + "/?clave=" + kKey;
  std::vector<std::string> args{TOLVEX_BENCH_TABLET_PROBE, url, std::to_string(views), std::to_string(seconds)};
  if (record) args.push_back("--record");
  return tb::spawn(args, out);
}

void wait_for(const tb::Child& c, double seconds) {
  int status = 0;
  const double deadline = tb::mono_s() + seconds;
  while (tb::mono_s() < deadline && ::waitpid(c.pid, &status, WNOHANG) == 0) QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
  tb::end_group(c);
}

void BM_TabletPollToMarker(benchmark::State& state) {
  tb::SequencedSource seq;
  tb::LocalServers servers(seq.source());
  for (auto _ : state) {
    TabletRun run;
    start_tolvex(run, servers, false);  // the marker moves in MueveAvion itself, not in later frames
    const std::string out = run.folder.file("probe.out");
    const tb::Child tablets = start_tablets(run, 1, tb::live_seconds(), true, out);
    wait_for(tablets, tb::live_seconds() + 60);
    std::istringstream lines(tb::read_text(out));
    double offset = 0, bound = 0;
    std::string first;
    std::getline(lines, first);  // connected=1
    std::getline(lines, first);
    if (std::sscanf(first.c_str(), "offset_ms=%lf bound_ms=%lf", &offset, &bound) != 2) {
      state.SkipWithError(("the tablet probe failed: " + first).c_str());
      break;
    }
    std::vector<double> latency;
    int unmatched = 0;
    {
      std::lock_guard lock(seq.mutex);
      for (double lat, page_ms; lines >> lat >> page_ms;) {
        const auto reply = seq.reply_ms.find(static_cast<int>(std::lround(lat * 1e5)));
        if (reply == seq.reply_ms.end()) {
          ++unmatched;
          continue;
        }
        latency.push_back(page_ms - offset - reply->second);
      }
    }
    const tb::Stats s = tb::summarize(latency);
    std::vector<double> sorted = latency;
    std::sort(sorted.begin(), sorted.end());
    const double p95 = sorted.empty() ? 0 : sorted[std::min(sorted.size() - 1, static_cast<std::size_t>(std::ceil(0.95 * sorted.size())) - 1)];
    state.SetIterationTime(tb::live_seconds());
    state.counters["p50_ms"] = s.median;
    state.counters["p95_ms"] = p95;
    tb::note("Poll -> marker moved in a tablet's page (real tolvex at INTERVALO 0,1, tablet in another process, loopback): " +
             tb::describe("latency", s, "ms") + " p95=" + std::to_string(p95) + "ms; " + std::to_string(unmatched) +
             " calls unmatched; page clock within " + std::to_string(bound) + " ms; load average " + tb::loadavg());
  }
}
BENCHMARK(BM_TabletPollToMarker)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_TabletCpu(benchmark::State& state) {
  const int views = static_cast<int>(state.range(0));
  tb::LocalServers servers(tb::flight_source());
  for (auto _ : state) {
    TabletRun run;
    start_tolvex(run, servers, true);
    tb::Child tablets;
    const std::string out = run.folder.file("probe.out");
    if (views > 0) {
      tablets = start_tablets(run, views, tb::live_seconds() + 15, false, out);
      tb::run_events_for(10000);  // the tablets load and get the state
    }
    const auto before = tb::tree_cpu(run.app.pid);
    const int replies_before = servers.replies.load();
    const std::string load_before = tb::loadavg();
    const double t0 = tb::mono_s();
    tb::run_events_for(tb::live_seconds() * 1000);
    const double elapsed = tb::mono_s() - t0;
    const auto after = tb::tree_cpu(run.app.pid);
    const int replies = servers.replies.load() - replies_before;
    long rss_children = 0;
    const long rss = tb::tree_rss_kib(run.app.pid, &rss_children);
    int connected = 0;
    if (views > 0) {
      wait_for(tablets, 30);
      std::sscanf(tb::read_text(out).c_str(), "connected=%d", &connected);
    }
    const tb::TreeCpuPercent cpu = tb::tree_cpu_percent(run.app.pid, before, after, elapsed);
    const double app_pct = cpu.process, engine_pct = cpu.descendants;
    state.SetIterationTime(elapsed);
    state.counters["tolvex_cpu_pct"] = app_pct;
    state.counters["engine_cpu_pct"] = engine_pct;
    state.counters["rss_mib"] = static_cast<double>(rss) / 1024;
    tb::note(std::to_string(views) + " tablets open (" + std::to_string(connected) + " connected and drawing at the end), " +
             std::to_string(elapsed) + " s, " +
             std::to_string(replies / elapsed) + " polls/s: tolvex " + std::to_string(app_pct) +
             "% of one core, its engine processes " + std::to_string(engine_pct) + "%; RSS tolvex " +
             std::to_string((rss - rss_children) / 1024) + " MiB + engine " + std::to_string(rss_children / 1024) +
             " MiB; load average before " + load_before + ", after " + tb::loadavg());
  }
}
BENCHMARK(BM_TabletCpu)->Arg(0)->Arg(1)->Arg(8)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return tb::run_process_benchmarks(argc, argv); }
