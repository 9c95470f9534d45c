#pragma once
// Real processes for the whole-application benchmarks: spawned in process groups of their own,
// ended through the group; simfeed and `tolvex --connect` started together on a program folder.
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "app_harness.h"

extern char** environ;

namespace tolvex::bench {

struct Child {
  pid_t pid = -1;
  double spawned = 0;  // monotonic seconds just before the spawn
};

// Starts argv[0] in a new process group; stdout to out_path when given.
inline Child spawn(const std::vector<std::string>& args, const std::string& out_path = {}) {
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  posix_spawnattr_t attr;
  posix_spawnattr_init(&attr);
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETPGROUP);
  posix_spawnattr_setpgroup(&attr, 0);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (!out_path.empty())
    posix_spawn_file_actions_addopen(&actions, 1, out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  Child c;
  c.spawned = mono_s();
  const int rc = posix_spawn(&c.pid, argv[0], &actions, &attr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attr);
  if (rc != 0) throw std::runtime_error("cannot start " + args[0] + ": " + std::strerror(rc));
  return c;
}

// Asks the group to close (the program's close sequence), then forces it after a while.
inline void end_group(const Child& c, int grace_ms = 5000) {
  if (c.pid <= 0) return;
  ::kill(-c.pid, SIGTERM);
  const double deadline = mono_s() + grace_ms / 1000.0;
  int status = 0;
  while (::waitpid(c.pid, &status, WNOHANG) == 0) {
    if (mono_s() > deadline) {
      ::kill(-c.pid, SIGKILL);
      ::waitpid(c.pid, &status, 0);
      break;
    }
    ::usleep(10000);
  }
  ::kill(-c.pid, SIGKILL);  // engine processes left behind in the group, if any
}

inline std::string read_text(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

inline std::string executable(const char* env, const char* built) {
  const QByteArray v = qgetenv(env);
  return v.isEmpty() ? std::string(built) : v.toStdString();
}

inline int count_requests(const std::string& simfeed_out) {
  const std::string text = read_text(simfeed_out);
  int n = 0;
  for (std::size_t at = 0; (at = text.find("Arn.Preg:", at)) != std::string::npos; ++at) ++n;
  return n;
}

// The port simfeed says it listens on, within 10 s; 0 when it never says.
inline int simfeed_port(const std::string& feed_out) {
  for (double deadline = mono_s() + 10; mono_s() < deadline; ::usleep(20000)) {
    const std::string text = read_text(feed_out);
    const auto at = text.find("escuchando en 127.0.0.1:");
    if (at != std::string::npos) return std::atoi(text.c_str() + at + 24);
  }
  return 0;
}

// CPU of a process and of its descendants between two tree_cpu readings, in percent of one core.
struct TreeCpuPercent {
  double process = 0;
  double descendants = 0;
};
inline TreeCpuPercent tree_cpu_percent(int pid, const std::map<int, long long>& before,
                                       const std::map<int, long long>& after, double seconds) {
  const double tick = static_cast<double>(ticks_per_second());
  TreeCpuPercent out;
  for (const auto& [p, ticks] : after) {
    if (ticks < 0) continue;
    const auto b = before.find(p);
    const double pct = 100.0 * static_cast<double>(ticks - (b == before.end() ? 0 : b->second)) / tick / seconds;
    (p == pid ? out.process : out.descendants) += pct;
  }
  return out;
}

struct LiveProcesses {
  Child feed;
  Child app;
};

// simfeed on a free port and `tolvex --connect` on `folder`, given 8 s to start, connect, load
// its first map page and run its one-shot timers (`more_ini` is added to its CONFIG.INI).
// Nothing when simfeed never says its port.
inline std::optional<LiveProcesses> start_live(tolvex::test::TempProgramFolder& folder, const std::string& feed_out,
                                               int tile_port, const char* intervalo, const std::string& more_ini = {}) {
  const Child feed = spawn({executable("TOLVEX_SIMFEED", TOLVEX_BENCH_SIMFEED), "--port", "0", "--verbose"}, feed_out);
  const int port = simfeed_port(feed_out);
  if (port == 0) {
    end_group(feed);
    return std::nullopt;
  }
  AppConfig config;
  config.iocp_port = port;
  config.tile_port = tile_port;
  config.intervalo = intervalo;
  folder.write("CONFIG.INI", config_ini(config) + more_ini);
  const Child app =
      spawn({executable("TOLVEX_EXECUTABLE", TOLVEX_BENCH_EXECUTABLE), "--folder", folder.path(), "--connect"});
  ::sleep(8);
  return LiveProcesses{feed, app};
}

// The main() of the benchmarks that watch real processes: no window of their own, only the
// local servers' sockets.
inline int run_process_benchmarks(int argc, char** argv) {
  prepare_environment();  // inherited by the programs started
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  QCoreApplication app(argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  print_report();
  return 0;
}

}  // namespace tolvex::bench
