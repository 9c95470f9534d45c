// Real processes, watched from outside:
//  - BM_StartToBlankPage/log: `tolvex --folder F --connect` with DEBUG on; the first page has
//    loaded when "1) Antes de conectar" reaches tolvex.log (--connect presses `conexion` right
//    after the first page load). Watched with inotify; time from just before the spawn.
//  - BM_StartToBlankPage/probe: app_start_probe, which builds the window as main() does and
//    prints the time of its first map_page_loaded, with a breakdown of the start-up steps.
//  - BM_ProcessCpu: `tolvex --connect` polling a real simfeed process at 10 Hz; CPU time of
//    both and of the browser engine's processes over the interval, from /proc.
//  - BM_ProcessMemory: the same at 100 Hz until 20,000 more samples have been moved on the map
//    (one MueveAvion each); RSS of tolvex and of its engine processes before and after.
// Run under `xvfb-run -a`. Every process is started in a process group of its own and ended
// through that group. TOLVEX_BENCH_LIVE_SECONDS sets the CPU interval (60).
#include <benchmark/benchmark.h>

#include <poll.h>
#include <sys/inotify.h>

#include "app_harness.h"
#include "process_harness.h"

namespace tb = tolvex::bench;

namespace {

using tb::Child;
using tb::end_group;
using tb::executable;
using tb::read_text;
using tb::spawn;
using tb::start_live;
using tb::count_requests;

// Arg 0: the real program, first load seen in its log. Arg 1: the probe.
void BM_StartToBlankPage(benchmark::State& state) {
  const bool probe = state.range(0) != 0;
  tb::LocalServers servers([] { return simfeed::IocpVariables{4041500, -370300, 9000}; });
  std::vector<double> seconds, since_proc_start, to_main, to_app, to_window, to_shown, shown_to_loaded;
  for (auto _ : state) {
    tolvex::test::TempProgramFolder folder;
    tb::AppConfig config;
    config.iocp_port = servers.iocp_port();
    config.tile_port = servers.tile_port();
    config.debug = true;
    folder.write("CONFIG.INI", tb::config_ini(config));
    const std::string dir = folder.path();
    double loaded_at = 0;
    Child child;
    if (!probe) {
      const int fd = inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
      inotify_add_watch(fd, dir.c_str(), IN_MODIFY | IN_CLOSE_WRITE | IN_CREATE);
      child = spawn({executable("TOLVEX_EXECUTABLE", TOLVEX_BENCH_EXECUTABLE), "--folder", dir, "--connect"});
      const double deadline = child.spawned + 30;
      while (tb::mono_s() < deadline && loaded_at == 0) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 100) <= 0) continue;
        const double seen = tb::mono_s();
        char buffer[4096];
        while (::read(fd, buffer, sizeof buffer) > 0) {
        }
        if (read_text(folder.file("tolvex.log")).find("1) Antes de conectar") != std::string::npos) loaded_at = seen;
      }
      ::close(fd);
    } else {
      const std::string out = folder.file("probe.out");
      child = spawn({TOLVEX_BENCH_PROBE, "--folder", dir}, out);
      int status = 0;
      const double deadline = child.spawned + 30;
      while (tb::mono_s() < deadline && ::waitpid(child.pid, &status, WNOHANG) == 0) ::usleep(5000);
      long long main_ns = 0, app_ns = 0, window_ns = 0, shown_ns = 0, loaded_ns = 0;
      double proc_s = 0;
      if (std::sscanf(read_text(out).c_str(), "main=%lld app=%lld window=%lld shown=%lld loaded=%lld since_proc_start_s=%lf",
                      &main_ns, &app_ns, &window_ns, &shown_ns, &loaded_ns, &proc_s) == 6) {
        loaded_at = loaded_ns / 1e9;
        to_main.push_back((main_ns / 1e9 - child.spawned) * 1000);
        to_app.push_back((app_ns - main_ns) / 1e6);
        to_window.push_back((window_ns - app_ns) / 1e6);
        to_shown.push_back((shown_ns - window_ns) / 1e6);
        shown_to_loaded.push_back((loaded_ns - shown_ns) / 1e6);
        since_proc_start.push_back(proc_s * 1000);
      }
    }
    end_group(child);
    if (loaded_at == 0) {
      state.SkipWithError("the first page load was never seen");
      break;
    }
    state.SetIterationTime(loaded_at - child.spawned);
    seconds.push_back((loaded_at - child.spawned) * 1000);
  }
  const tb::Stats t = tb::summarize(seconds);
  state.counters["median_ms"] = t.median;
  state.counters["max_ms"] = t.max;
  tb::note(std::string("Process start -> first (blank) page loaded, ") +
           (probe ? "probe reporting map_page_loaded" : "real tolvex, seen in its log") + ":");
  tb::note(tb::describe("  spawn -> loaded", t, "ms"));
  if (probe) {
    tb::note(tb::describe("  /proc/self/stat start -> loaded (10 ms ticks)", tb::summarize(since_proc_start), "ms"));
    tb::note(tb::describe("  spawn -> main() (loading the libraries)", tb::summarize(to_main), "ms"));
    tb::note(tb::describe("  application object", tb::summarize(to_app), "ms"));
    tb::note(tb::describe("  MainWindow constructor (settings, controls, first browser view)",
                          tb::summarize(to_window), "ms"));
    tb::note(tb::describe("  show()", tb::summarize(to_shown), "ms"));
    tb::note(tb::describe("  shown -> map_page_loaded (Timer_Inicio 250 ms, engine start, about:blank)",
                          tb::summarize(shown_to_loaded), "ms"));
  }
  tb::note("  load average " + tb::loadavg());
}
BENCHMARK(BM_StartToBlankPage)->Arg(0)->Arg(1)->Iterations(10)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_ProcessCpu(benchmark::State& state) {
  tb::LocalServers tiles([] { return simfeed::IocpVariables{}; });  // only its tile server is used
  const double tick = static_cast<double>(tb::ticks_per_second());
  for (auto _ : state) {
    tolvex::test::TempProgramFolder folder;
    const std::string feed_out = folder.file("simfeed.out");
    const auto live = start_live(folder, feed_out, tiles.tile_port(), "0,1");
    if (!live) {
      state.SkipWithError("simfeed did not start");
      break;
    }
    const Child& feed = live->feed;
    const Child& app = live->app;
    const auto before = tb::tree_cpu(app.pid);
    const long long feed_before = tb::process_cpu_ticks(feed.pid);
    const int requests_before = count_requests(feed_out);
    const std::string load_before = tb::loadavg();
    const double t0 = tb::mono_s();
    ::sleep(static_cast<unsigned>(tb::live_seconds()));
    const double elapsed = tb::mono_s() - t0;
    const auto after = tb::tree_cpu(app.pid);
    const long long feed_ticks = tb::process_cpu_ticks(feed.pid) - feed_before;
    const int requests = count_requests(feed_out) - requests_before;
    long rss_children = 0;
    const long rss = tb::tree_rss_kib(app.pid, &rss_children);
    end_group(app);
    end_group(feed);

    const tb::TreeCpuPercent cpu = tb::tree_cpu_percent(app.pid, before, after, elapsed);
    const double app_pct = cpu.process, engine_pct = cpu.descendants;
    state.SetIterationTime(elapsed);
    state.counters["tolvex_cpu_pct"] = app_pct;
    state.counters["engine_cpu_pct"] = engine_pct;
    state.counters["polls_per_s"] = requests / elapsed;
    tb::note("Real processes over " + std::to_string(elapsed) + " s (tolvex --connect, simfeed --verbose, INTERVALO=0,1, "
             "AUTOMAT=S, DEBUG=N, local tiles): tolvex " + std::to_string(app_pct) + "% of one core, its engine processes " +
             std::to_string(engine_pct) + "%, simfeed " + std::to_string(100.0 * feed_ticks / tick / elapsed) + "%; " +
             std::to_string(requests / elapsed) + " polls/s; RSS tolvex " + std::to_string((rss - rss_children) / 1024) +
             " MiB + engine " + std::to_string(rss_children / 1024) + " MiB; load average before: " + load_before +
             "; after: " + tb::loadavg());
  }
}
BENCHMARK(BM_ProcessCpu)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_ProcessMemory(benchmark::State& state) {
  tb::LocalServers tiles([] { return simfeed::IocpVariables{}; });
  for (auto _ : state) {
    tolvex::test::TempProgramFolder folder;
    const std::string feed_out = folder.file("simfeed.out");
    // The shortest interval there is: 20,000 samples take 2,000 s.
    const auto live = start_live(folder, feed_out, tiles.tile_port(), "0,1");
    if (!live) {
      state.SkipWithError("simfeed did not start");
      break;
    }
    const Child& feed = live->feed;
    const Child& app = live->app;
    long engine_before = 0;
    const long rss_before = tb::tree_rss_kib(app.pid, &engine_before);
    const int first = count_requests(feed_out);
    const double t0 = tb::mono_s();
    int done = 0;
    while ((done = count_requests(feed_out) - first) < 20000 && tb::mono_s() - t0 < 2400) ::sleep(2);
    const double elapsed = tb::mono_s() - t0;
    long engine_after = 0;
    const long rss_after = tb::tree_rss_kib(app.pid, &engine_after);
    end_group(app);
    end_group(feed);
    state.SetIterationTime(elapsed);
    state.counters["rss_mib"] = static_cast<double>(rss_after) / 1024;
    tb::note("Real processes, " + std::to_string(done) + " samples in " + std::to_string(elapsed) +
             " s (INTERVALO=0,1, AUTOMAT=S, local tiles): RSS tolvex " +
             std::to_string((rss_before - engine_before) / 1024) + " -> " +
             std::to_string((rss_after - engine_after) / 1024) + " MiB, engine " + std::to_string(engine_before / 1024) +
             " -> " + std::to_string(engine_after / 1024) + " MiB, together " + std::to_string(rss_before / 1024) +
             " -> " + std::to_string(rss_after / 1024) + " MiB; load average " + tb::loadavg());
  }
}
BENCHMARK(BM_ProcessMemory)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return tb::run_process_benchmarks(argc, argv); }
