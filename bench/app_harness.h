#pragma once
// Shared pieces of the whole-application benchmarks: statistics, /proc readings, a local IOCP
// server and tile server on a thread of their own, and a main window on a temporary program
// folder. Nothing here reaches the network: the servers listen on 127.0.0.1 only.
#include <QByteArray>
#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QHostAddress>
#include <QImage>
#include <QPainter>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <sys/syscall.h>
#include <unistd.h>
#include <vector>

#include <benchmark/benchmark.h>

#include "feed_server.h"
#include "flight_model.h"
#include "map/browser_bridge.h"
#include "map/web_profile_qt.h"
#include "shell/main_window.h"
#include "shell/tolvex_application.h"
#include "support/temp_program_folder.h"

namespace tolvex::bench {

// ---------------------------------------------------------------- clocks and statistics

// How long a live run lasts: TOLVEX_BENCH_LIVE_SECONDS, else 60 s.
inline int live_seconds() {
  const int s = qEnvironmentVariableIntValue("TOLVEX_BENCH_LIVE_SECONDS");
  return s > 0 ? s : 60;
}

// Wall clock in milliseconds since the epoch: the clock the page's performance.timeOrigin uses.
inline double epoch_ms() {
  return std::chrono::duration<double, std::milli>(std::chrono::system_clock::now().time_since_epoch()).count();
}

inline double mono_s() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

struct Stats {
  std::size_t n = 0;
  double median = 0, p90 = 0, p99 = 0, max = 0, min = 0, mean = 0;
};

// Nearest-rank percentiles of the samples.
inline Stats summarize(std::vector<double> v) {
  Stats s;
  if (v.empty()) return s;
  std::sort(v.begin(), v.end());
  s.n = v.size();
  const auto rank = [&](double q) {
    std::size_t r = static_cast<std::size_t>(std::ceil(q * static_cast<double>(v.size())));
    return v[std::clamp<std::size_t>(r, 1, v.size()) - 1];
  };
  s.median = v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
  s.p90 = rank(0.90);
  s.p99 = rank(0.99);
  s.min = v.front();
  s.max = v.back();
  double sum = 0;
  for (double x : v) sum += x;
  s.mean = sum / static_cast<double>(v.size());
  return s;
}

inline std::string describe(const char* what, const Stats& s, const char* unit) {
  char line[256];
  std::snprintf(line, sizeof line, "%s: n=%zu median=%.2f%s p90=%.2f%s p99=%.2f%s max=%.2f%s min=%.2f%s", what, s.n,
                s.median, unit, s.p90, unit, s.p99, unit, s.max, unit, s.min, unit);
  return line;
}

// Lines printed after Google Benchmark's table, so they are not lost in its output.
inline std::vector<std::string>& report_lines() {
  static std::vector<std::string> lines;
  return lines;
}
inline void note(const std::string& line) {
  std::fprintf(stderr, "[app-bench] %s\n", line.c_str());
  report_lines().push_back(line);
}
// What the browser engine and Qt were told, so each report says what it measured.
inline std::string environment_text() {
  std::string text = "QTWEBENGINE_CHROMIUM_FLAGS=\"" + qEnvironmentVariable("QTWEBENGINE_CHROMIUM_FLAGS").toStdString() + "\"";
  for (const char* name : {"QT_QUICK_BACKEND", "QT_XCB_GL_INTEGRATION", "LIBGL_ALWAYS_SOFTWARE"})
    if (!qEnvironmentVariableIsEmpty(name)) text += std::string(" ") + name + "=" + qEnvironmentVariable(name).toStdString();
  return text;
}

inline void print_report() {
  if (report_lines().empty()) return;
  std::printf("\n---- app benchmark notes (%s) ----\n", environment_text().c_str());
  for (const std::string& l : report_lines()) std::printf("%s\n", l.c_str());
  std::fflush(stdout);
}

// ---------------------------------------------------------------- /proc

inline long ticks_per_second() { return ::sysconf(_SC_CLK_TCK); }

// Fields after the command name of a /proc stat file (field 3 of the man page is index 0).
inline std::vector<std::string> stat_fields(const std::string& path) {
  std::ifstream in(path);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const auto close = text.rfind(')');
  if (close == std::string::npos) return {};
  std::istringstream rest(text.substr(close + 2));
  std::vector<std::string> fields;
  for (std::string f; rest >> f;) fields.push_back(f);
  return fields;
}

// utime + stime in clock ticks; -1 when the process (or thread) is gone.
inline long long cpu_ticks(const std::string& stat_path) {
  const auto f = stat_fields(stat_path);
  if (f.size() < 13) return -1;
  return std::stoll(f[11]) + std::stoll(f[12]);
}
inline long long process_cpu_ticks(int pid) { return cpu_ticks("/proc/" + std::to_string(pid) + "/stat"); }
inline long long thread_cpu_ticks(int pid, int tid) {
  return cpu_ticks("/proc/" + std::to_string(pid) + "/task/" + std::to_string(tid) + "/stat");
}

inline int parent_pid(int pid) {
  const auto f = stat_fields("/proc/" + std::to_string(pid) + "/stat");
  return f.size() > 1 ? std::stoi(f[1]) : -1;
}

inline std::string process_name(int pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/comm");
  std::string name;
  std::getline(in, name);
  return name;
}

// Resident set in KiB (VmRSS), 0 when the process is gone.
inline long rss_kib(int pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/status");
  for (std::string line; std::getline(in, line);)
    if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
  return 0;
}

// Every process below pid (the browser engine's zygotes, renderers, GPU and utility processes).
inline std::vector<int> descendants(int pid) {
  std::map<int, std::vector<int>> children;
  for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
    bool ok = false;
    const int p = entry.toInt(&ok);
    if (!ok) continue;
    const int parent = parent_pid(p);
    if (parent > 0) children[parent].push_back(p);
  }
  std::vector<int> out, todo{pid};
  while (!todo.empty()) {
    const int p = todo.back();
    todo.pop_back();
    for (int c : children[p]) {
      out.push_back(c);
      todo.push_back(c);
    }
  }
  std::sort(out.begin(), out.end());
  return out;
}

inline int current_tid() { return static_cast<int>(::syscall(SYS_gettid)); }

// CPU ticks of a process tree at one moment, per pid.
inline std::map<int, long long> tree_cpu(int pid) {
  std::map<int, long long> ticks;
  ticks[pid] = process_cpu_ticks(pid);
  for (int c : descendants(pid)) ticks[c] = process_cpu_ticks(c);
  return ticks;
}

// CPU ticks of each thread of a process, by thread id, with the thread names.
inline std::map<int, std::pair<std::string, long long>> thread_cpu(int pid) {
  std::map<int, std::pair<std::string, long long>> out;
  const QString base = QStringLiteral("/proc/%1/task").arg(pid);
  for (const QString& entry : QDir(base).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
    const int tid = entry.toInt();
    std::ifstream in(base.toStdString() + "/" + entry.toStdString() + "/comm");
    std::string name;
    std::getline(in, name);
    out[tid] = {name, thread_cpu_ticks(pid, tid)};
  }
  return out;
}

// The busiest threads between two readings, as "name=percent" sorted by use (names summed).
inline std::string busiest_threads(const std::map<int, std::pair<std::string, long long>>& before,
                                   const std::map<int, std::pair<std::string, long long>>& after,
                                   double seconds, std::size_t count = 8) {
  std::map<std::string, long long> by_name;
  for (const auto& [tid, v] : after) {
    const auto b = before.find(tid);
    by_name[v.first] += v.second - (b == before.end() ? 0 : b->second.second);
  }
  std::vector<std::pair<long long, std::string>> sorted;
  for (const auto& [name, ticks] : by_name)
    if (ticks > 0) sorted.emplace_back(ticks, name);
  std::sort(sorted.rbegin(), sorted.rend());
  std::string text;
  for (std::size_t i = 0; i < sorted.size() && i < count; ++i) {
    char part[96];
    std::snprintf(part, sizeof part, " %s=%.2f%%", sorted[i].second.c_str(),
                  100.0 * static_cast<double>(sorted[i].first) / static_cast<double>(ticks_per_second()) / seconds);
    text += part;
  }
  return text;
}

// CPU of the processes below `self` (the browser engine's) between two readings of tree_cpu, in
// percent of one core over `seconds`; `detail` gets "name[pid]=percent" for each busy one.
inline double children_cpu_pct(const std::map<int, long long>& before, const std::map<int, long long>& after, int self,
                               double seconds, std::string* detail = nullptr) {
  const double tick = static_cast<double>(ticks_per_second());
  double total = 0;
  for (const auto& [pid, ticks] : after) {
    if (pid == self || ticks < 0) continue;
    const auto b = before.find(pid);
    const long long delta = ticks - (b == before.end() ? 0 : b->second);
    const double pct = 100.0 * static_cast<double>(delta) / tick / seconds;
    total += pct;
    if (detail && delta > 0)
      *detail += " " + process_name(pid) + "[" + std::to_string(pid) + "]=" + std::to_string(pct).substr(0, 5) + "%";
  }
  return total;
}

inline long tree_rss_kib(int pid, long* children_kib = nullptr) {
  long kids = 0;
  for (int c : descendants(pid)) kids += rss_kib(c);
  if (children_kib) *children_kib = kids;
  return rss_kib(pid) + kids;
}

inline std::string loadavg() {
  std::ifstream in("/proc/loadavg");
  std::string line;
  std::getline(in, line);
  return line;
}

// ---------------------------------------------------------------- local servers

// A 256 x 256 PNG, drawn once; every tile request gets it.
inline QByteArray tile_png() {
  QImage image(256, 256, QImage::Format_RGB32);
  image.fill(QColor(0xe8, 0xe4, 0xd8));
  QPainter painter(&image);
  painter.setPen(QColor(0x9a, 0xa8, 0xb8));
  for (int i = 0; i <= 256; i += 32) {
    painter.drawLine(i, 0, i, 256);
    painter.drawLine(0, i, 256, i);
  }
  painter.end();
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return bytes;
}

// HTTP/1.1 tile server: any GET gets the same PNG; connections are kept alive.
class TileServer : public QObject {
 public:
  TileServer() : server_(new QTcpServer(this)), png_(tile_png()) {
    connect(server_, &QTcpServer::newConnection, this, [this] {
      while (QTcpSocket* s = server_->nextPendingConnection()) {
        s->setParent(this);
        connect(s, &QTcpSocket::readyRead, this, [this, s] { serve(s); });
        connect(s, &QTcpSocket::disconnected, this, [this, s] {
          buffers_.erase(s);
          s->deleteLater();
        });
      }
    });
  }
  bool listen() { return server_->listen(QHostAddress::LocalHost, 0); }
  quint16 port() const { return server_->serverPort(); }
  std::atomic<int> requests{0};

 private:
  void serve(QTcpSocket* s) {
    QByteArray& pending = buffers_[s];
    pending += s->readAll();
    for (int end; (end = pending.indexOf("\r\n\r\n")) >= 0;) {
      pending.remove(0, end + 4);
      ++requests;
      QByteArray head = "HTTP/1.1 200 OK\r\nContent-Type: image/png\r\nCache-Control: max-age=3600\r\n"
                        "Access-Control-Allow-Origin: *\r\nContent-Length: " +
                        QByteArray::number(png_.size()) + "\r\n\r\n";
      s->write(head + png_);
    }
  }
  QTcpServer* server_;
  QByteArray png_;
  std::map<QTcpSocket*, QByteArray> buffers_;
};

// The IOCP server (simfeed's) and the tile server on one thread of their own, as a separate
// simulator PC would be. Its CPU time can be taken out of the process's (server_tid).
class LocalServers {
 public:
  // What each reply serves; called on the server thread.
  using Source = std::function<simfeed::IocpVariables()>;

  explicit LocalServers(Source source, simfeed::FeedBehaviour behaviour = {}) {
    feed_ = new simfeed::FeedServer(behaviour, [this, source = std::move(source)] {
      ++replies;
      return source();
    });
    tiles_ = new TileServer;
    feed_->moveToThread(&thread_);
    tiles_->moveToThread(&thread_);
    thread_.start();
    bool ok = false;
    QMetaObject::invokeMethod(
        feed_,
        [&] {
          server_tid = current_tid();
          ok = feed_->listen(QHostAddress::LocalHost, 0) && tiles_->listen();
        },
        Qt::BlockingQueuedConnection);
    if (!ok) throw std::runtime_error("local servers cannot listen");
  }
  ~LocalServers() {
    QMetaObject::invokeMethod(
        feed_, [this] { delete feed_; delete tiles_; }, Qt::BlockingQueuedConnection);
    thread_.quit();
    thread_.wait();
  }
  quint16 iocp_port() const { return feed_->port(); }
  quint16 tile_port() const { return tiles_->port(); }
  int tile_requests() const { return tiles_->requests.load(); }

  std::atomic<int> replies{0};
  int server_tid = 0;

 private:
  QThread thread_;
  simfeed::FeedServer* feed_ = nullptr;
  TileServer* tiles_ = nullptr;
};

// The simfeed flight model (the Madrid circuit) at real time.
inline LocalServers::Source flight_source() {
  auto model = std::make_shared<simfeed::FlightModel>(simfeed::FlightModel::madrid_circuit());
  auto clock = std::make_shared<QElapsedTimer>();
  clock->start();
  return [model, clock] {
    model->advance_to(static_cast<double>(clock->elapsed()) / 1000.0);
    return simfeed::to_iocp_variables(model->state());
  };
}

// Samples carry their sequence number in the latitude, so each page call can be matched with
// the reply that produced it. The heading turns 7 degrees a sample (icons change often).
struct SequencedSource {
  std::mutex mutex;
  std::map<int, double> reply_ms;  // lat_e5 -> wall clock when the reply was built
  int next = 0;
  LocalServers::Source source() {
    return [this] {
      std::lock_guard lock(mutex);
      const int seq = next++;
      const int lat_e5 = 4000000 + seq;
      reply_ms[lat_e5] = epoch_ms();
      return simfeed::IocpVariables{lat_e5, -370000 + (seq % 50), (seq * 700) % 36000};
    };
  }
};

// ---------------------------------------------------------------- configuration

struct AppConfig {
  int iocp_port = 8090;
  int tile_port = 9;  // discard port: refused at once when no tile server is wanted
  std::string intervalo = "0,1";
  bool debug = false;
  bool follow = true;
  bool airspaces = false;
  bool connect_iocp = true;
  bool suave = true;  // SUAVE: the aircraft glides between samples
};

inline std::string config_ini(const AppConfig& c) {
  const std::string tiles = "http://127.0.0.1:" + std::to_string(c.tile_port) + "/{z}/{x}/{y}.png";
  std::string ini = "[INICIO]\r\nSIZE=1\r\nTIPOMAPA=N\r\nSONIDOS=N\r\n";
  ini += std::string("AUTOMAT=") + (c.follow ? "S" : "N") + "\r\n";
  ini += "PUERTO=" + std::to_string(c.iocp_port) + "\r\nDIRIP=127.0.0.1\r\n";
  ini += "INTERVALO=" + c.intervalo + "\r\n";
  ini += std::string("TIPOCONEXION=") + (c.connect_iocp ? "I" : "F") + "\r\n";
  ini += std::string("DEBUG=") + (c.debug ? "S" : "N") + "\r\nPUNTOSVFR=N\r\nXPLANE=N\r\n";
  ini += std::string("VERAIRSPACES=") + (c.airspaces ? "S" : "N") + "\r\n";
  ini += std::string("SUAVE=") + (c.suave ? "S" : "N") + "\r\n";
  ini += "[MAPAS]\r\nPROVEEDOR=osm\r\nTESELAS=" + tiles + "\r\nTESELASSAT=" + tiles + "\r\nTESELASHIB=" + tiles +
         "\r\nTESELASREL=" + tiles + "\r\n";
  return ini;
}

// A run on the network GPS link, listening on `port`.
inline std::string xgps_config_ini(AppConfig c, quint16 port) {
  c.connect_iocp = false;
  std::string ini = config_ini(c);
  ini.replace(ini.find("TIPOCONEXION=F"), 14, "TIPOCONEXION=X\r\nPUERTOUDP=" + std::to_string(port));
  return ini;
}

// ---------------------------------------------------------------- a main window under test

inline bool wait_signal(QSignalSpy& spy, int timeout_ms) { return !spy.isEmpty() || spy.wait(timeout_ms); }

// Lets the event loop run for a while (timers, page, sockets).
inline void run_events_for(int ms) {
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec();
}

class AppSession {
 public:
  AppSession(const AppConfig& config, const std::map<std::string, std::string>& files = {}) {
    set_remote_requests_blocked(true);
    folder.write("CONFIG.INI", config_ini(config));
    for (const auto& [name, bytes] : files) folder.write(name, bytes);
  }
  ~AppSession() {
    if (window) {
      window->close();
      window.reset();
    }
    run_events_for(50);
  }

  // Constructs the window and waits for its first (blank) page.
  void start() {
    MainWindowOptions options;
    options.folder = folder.qpath();
    options.page_files_folder = QString::fromLocal8Bit(qgetenv("TOLVEX_PROGRAM_DIR"));
    options.register_hot_key = false;
    options.version = std::make_pair(1, 0);
    options.decimal_separator = ',';
    window = std::make_unique<MainWindow>(options);
    window->message_hook = [this](const QString& text) { messages.push_back(text.toStdString()); };
    QSignalSpy loaded(window.get(), &MainWindow::map_page_loaded);
    window->show();
    if (!wait_signal(loaded, 30000)) throw std::runtime_error("the blank page never loaded");
  }

  // Presses `conexion` and waits for the first map page.
  void connect_and_wait() {
    QSignalSpy loaded(window.get(), &MainWindow::map_page_loaded);
    window->conexionClick();
    if (!window->conectado) throw std::runtime_error("no connection: " + last_message());
    if (!wait_signal(loaded, 30000)) throw std::runtime_error("the map page never loaded");
    // The page script's own load() has run by now only if the map exists.
    if (evaluate(QStringLiteral("typeof map === 'object' && !!map && typeof MueveAvion === 'function'")).toBool() !=
        true)
      throw std::runtime_error("the map page has no map (is the map provider broken?)");
  }

  QVariant evaluate(const QString& expression, int timeout_ms = 10000) {
    if (!window->bridge) throw std::runtime_error("no browser");
    return window->bridge->evaluate(expression, timeout_ms);
  }

  std::string last_message() const { return messages.empty() ? std::string("(none)") : messages.back(); }

  test::TempProgramFolder folder;
  std::unique_ptr<MainWindow> window;
  std::vector<std::string> messages;
};

// How far the page clock can be from ours: each reading lies between two host readings.
inline double clock_offset_bound_ms(AppSession& app, double* offset_ms) {
  double best_width = 1e9, best_offset = 0;
  for (int i = 0; i < 20; ++i) {
    const double before = epoch_ms();
    const double page = app.evaluate(QStringLiteral("performance.timeOrigin+performance.now()")).toDouble();
    const double after = epoch_ms();
    if (after - before < best_width) {
      best_width = after - before;
      best_offset = page - (before + after) / 2;
    }
  }
  *offset_ms = best_offset;
  return best_width / 2;
}

// Environment every application benchmark runs in: no sandbox (root), no background traffic.
inline void prepare_environment() {
  if (qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX")) qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
  if (qEnvironmentVariableIsEmpty("QTWEBENGINE_CHROMIUM_FLAGS"))
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-background-networking --disable-component-update --no-first-run");
  add_browser_engine_flags();  // as the program's main() does
#ifdef TOLVEX_BENCH_PROGRAM_DIR
  if (qEnvironmentVariableIsEmpty("TOLVEX_PROGRAM_DIR")) qputenv("TOLVEX_PROGRAM_DIR", TOLVEX_BENCH_PROGRAM_DIR);
#endif
}

// The main() of the in-process application benchmarks.
inline int run_benchmarks(int argc, char** argv) {
  prepare_environment();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  tolvex::TolvexApplication app(argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  print_report();
  return 0;
}

}  // namespace tolvex::bench
