// "Movimiento suave" (SUAVE) on the live moving map, on and off side by side:
//  - BM_GlideSteps: the simfeed circuit (100 kt, turns at standard rate) sent as XGPS at 1 Hz, as
//    X-Plane and FlightGear send it; the page records where the aircraft icon is every 50 ms.
//    Figures: the largest step of the icon between two records (aim with SUAVE: no more than
//    the distance flown in 100 ms plus 5 m) and how far the icon is from the true position
//    (the model's, at the same instant), also along the track.
//    Arguments: SUAVE on, INTERVALO in ms.
//  - BM_GlideCpu: CPU (Tolvex's process and the browser engine's) and resident memory with the
//    IOCP Server stand-in at 10 Hz and at 1 Hz, follow mode on, at the start zoom (9) and
//    closer in (15, where the aircraft crosses about 14 pixels a second). Arguments: SUAVE on,
//    INTERVALO in ms, zoom. The last run prints the runs side by side.
// Run under `xvfb-run -a`. TOLVEX_BENCH_LIVE_SECONDS sets each run's length (60).
#include <benchmark/benchmark.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QUdpSocket>

#include <thread>

#include "app_harness.h"
#include "feed_protocol.h"
#include "support/xgps_sender.h"

namespace tb = tolvex::bench;

namespace {

constexpr double kEarthRadius = 6378137.0;
constexpr double kPi = 3.14159265358979323846;

double rad(double d) { return d * kPi / 180.0; }

// Metres north and east from a to b (flat: the points are close).
std::pair<double, double> offset_m(double lat_a, double lng_a, double lat_b, double lng_b) {
  return {rad(lat_b - lat_a) * kEarthRadius, rad(lng_b - lng_a) * kEarthRadius * std::cos(rad(lat_a))};
}

// The circuit flown from `start`, sent as XGPS once a second (the position of that second).
class XgpsFlight {
 public:
  XgpsFlight(quint16 port) : start_ms(tb::epoch_ms()) {
    thread_ = std::thread([this, port] {
      QUdpSocket socket;
      simfeed::FlightModel model(simfeed::FlightModel::madrid_circuit());
      const auto origin = std::chrono::steady_clock::now();
      for (int second = 0; !stop_; ++second) {
        std::this_thread::sleep_until(origin + std::chrono::seconds(second));
        model.advance_to(second);
        const std::string d = simfeed::xgps_datagram(model.state(), model.speed_ms());
        socket.writeDatagram(d.data(), static_cast<qint64>(d.size()), QHostAddress::LocalHost, port);
      }
    });
  }
  ~XgpsFlight() {
    stop_ = true;
    thread_.join();
  }
  const double start_ms;

 private:
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

// The true aircraft at increasing times: the model between its 0.1 s steps.
class TruePosition {
 public:
  simfeed::AircraftState at(double seconds) {
    const double step = simfeed::FlightModel::kStepS;
    const double base = std::floor(seconds / step) * step;
    a_.advance_to(base);
    b_.advance_to(base + step);
    const double f = (seconds - base) / step;
    simfeed::AircraftState s = a_.state();
    s.lat += (b_.state().lat - s.lat) * f;
    s.lon += (b_.state().lon - s.lon) * f;
    return s;
  }

 private:
  simfeed::FlightModel a_{simfeed::FlightModel::madrid_circuit()};
  simfeed::FlightModel b_{simfeed::FlightModel::madrid_circuit()};
};

const char kRecorder[] =
    "(function(){window.__glide=[];setInterval(function(){var p=marcador.getPosition();"
    "__glide.push([performance.timeOrigin+performance.now(),p.lat(),p.lng()]);},50);return true;})()";

std::string on_off(bool suave) { return suave ? "SUAVE=S" : "SUAVE=N"; }

std::string interval_text(int ms) { return ms % 1000 == 0 ? std::to_string(ms / 1000) : "0," + std::to_string(ms / 100); }

void BM_GlideSteps(benchmark::State& state) {
  const bool suave = state.range(0) != 0;
  const int interval_ms = static_cast<int>(state.range(1));
  const quint16 port = tolvex::test::free_udp_port();
  tb::LocalServers servers(tb::flight_source());  // only its tile server is used
  tb::AppConfig config;
  config.tile_port = servers.tile_port();
  config.follow = false;
  config.suave = suave;
  config.intervalo = interval_text(interval_ms);
  tb::AppSession app(config, {{"CONFIG.INI", tb::xgps_config_ini(config, port)}});

  for (auto _ : state) {
    XgpsFlight flight(port);
    app.start();
    app.connect_and_wait();
    tb::run_events_for(5000);  // two samples give the speed; the first catches up
    app.evaluate(QString::fromLatin1(kRecorder));
    double offset = 0;
    const double bound = tb::clock_offset_bound_ms(app, &offset);
    const double t0 = tb::mono_s();
    tb::run_events_for(tb::live_seconds() * 1000);
    const double elapsed = tb::mono_s() - t0;
    const QJsonArray records =
        QJsonDocument::fromJson(app.evaluate(QStringLiteral("JSON.stringify(window.__glide)")).toString().toUtf8())
            .array();

    std::vector<double> steps, gaps, distance, along;
    TruePosition truth;
    double prev_t = 0, prev_lat = 0, prev_lng = 0;
    for (qsizetype i = 0; i < records.size(); ++i) {
      const QJsonArray r = records.at(i).toArray();
      const double page_ms = r.at(0).toDouble(), lat = r.at(1).toDouble(), lng = r.at(2).toDouble();
      if (i > 0) {
        const auto [n, e] = offset_m(prev_lat, prev_lng, lat, lng);
        steps.push_back(std::hypot(n, e));
        gaps.push_back(page_ms - prev_t);
      }
      prev_t = page_ms;
      prev_lat = lat;
      prev_lng = lng;
      // The model's clock is the sender's: its start on the host's wall clock.
      const simfeed::AircraftState real = truth.at((page_ms - offset - flight.start_ms) / 1000.0);
      const auto [n, e] = offset_m(lat, lng, real.lat, real.lon);
      distance.push_back(std::hypot(n, e));
      // Positive: the icon is behind the aircraft on its track.
      along.push_back(n * std::cos(rad(real.heading_deg)) + e * std::sin(rad(real.heading_deg)));
    }
    const tb::Stats step = tb::summarize(steps), off = tb::summarize(distance), behind = tb::summarize(along);
    const double speed = simfeed::FlightModel::kSpeedKt * 1852.0 / 3600.0;
    state.SetIterationTime(elapsed);
    state.counters["largest_step_m"] = step.max;
    state.counters["aim_m"] = speed * 0.1 + 5;
    state.counters["off_true_median_m"] = off.median;
    state.counters["behind_median_m"] = behind.median;
    tb::note(on_off(suave) + ", XGPS 1 Hz, INTERVALO=" + interval_text(interval_ms) + ", " +
             std::to_string(records.size()) + " icon positions over " + std::to_string(elapsed) +
             " s (page clock offset " + std::to_string(offset) + " ms +/- " + std::to_string(bound) + " ms):");
    tb::note(tb::describe("  icon step between records", step, "m") + "  (aim " + std::to_string(speed * 0.1 + 5) + " m)");
    tb::note(tb::describe("  time between records", tb::summarize(gaps), "ms"));
    tb::note(tb::describe("  icon to true position", off, "m"));
    tb::note(tb::describe("  icon behind the true position along the track", behind, "m") + " = median " +
             std::to_string(behind.median / speed * 1000.0) + " ms of flight");
  }
}
BENCHMARK(BM_GlideSteps)
    ->Args({1, 100})->Args({0, 100})->Args({1, 1000})->Args({0, 1000})
    ->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

struct CpuRow {
  std::string name;
  double tolvex_pct = 0, engine_pct = 0;
  long rss_mib = 0;
};
std::vector<CpuRow>& cpu_rows() {
  static std::vector<CpuRow> rows;
  return rows;
}

void BM_GlideCpu(benchmark::State& state) {
  const bool suave = state.range(0) != 0;
  const int interval_ms = static_cast<int>(state.range(1));
  const int zoom = static_cast<int>(state.range(2));
  tb::LocalServers servers(tb::flight_source());
  tb::AppConfig config;
  config.iocp_port = servers.iocp_port();
  config.tile_port = servers.tile_port();
  config.suave = suave;
  config.intervalo = interval_text(interval_ms);
  tb::AppSession app(config);
  const int self = static_cast<int>(::getpid());
  const double tick = static_cast<double>(tb::ticks_per_second());

  for (auto _ : state) {
    app.start();
    app.connect_and_wait();
    app.evaluate(QStringLiteral("map.setZoom(%1); 1").arg(zoom));
    tb::run_events_for(5000);  // tiles and the one-shot timers settle
    const auto before = tb::tree_cpu(self);
    const long long server_before = tb::thread_cpu_ticks(self, servers.server_tid);
    const double t0 = tb::mono_s();
    tb::run_events_for(tb::live_seconds() * 1000);
    const double elapsed = tb::mono_s() - t0;
    const auto after = tb::tree_cpu(self);
    const long long server_ticks = tb::thread_cpu_ticks(self, servers.server_tid) - server_before;
    long children_kib = 0;
    const long rss_kib = tb::tree_rss_kib(self, &children_kib);

    CpuRow row;
    row.name = on_off(suave) + " " + std::to_string(1000 / interval_ms) + " Hz zoom " + std::to_string(zoom);
    row.tolvex_pct = 100.0 * static_cast<double>(after.at(self) - before.at(self) - server_ticks) / tick / elapsed;
    row.engine_pct = tb::children_cpu_pct(before, after, self, elapsed);
    row.rss_mib = rss_kib / 1024;
    state.SetIterationTime(elapsed);
    state.counters["tolvex_cpu_pct"] = row.tolvex_pct;
    state.counters["engine_cpu_pct"] = row.engine_pct;
    state.counters["rss_mib"] = static_cast<double>(row.rss_mib);
    tb::note(row.name + ", follow mode, over " + std::to_string(elapsed) + " s: Tolvex " +
             std::to_string(row.tolvex_pct) + "% of one core, browser engine " + std::to_string(row.engine_pct) +
             "%, resident " + std::to_string(row.rss_mib) + " MiB (engine " + std::to_string(children_kib / 1024) +
             " MiB); load average " + tb::loadavg());
    // Side by side: a run without SUAVE against the same run with it just before.
    if (!suave && !cpu_rows().empty() && cpu_rows().back().name == "SUAVE=S" + row.name.substr(7)) {
      const CpuRow& on = cpu_rows().back();
      const double cpu_on = on.tolvex_pct + on.engine_pct, cpu_off = row.tolvex_pct + row.engine_pct;
      char line[256];
      std::snprintf(line, sizeof line,
                    "  side by side, %s: CPU (Tolvex + engine) on %.2f%% / off %.2f%% = %.2fx; resident on %ld / off %ld MiB",
                    row.name.substr(8).c_str(), cpu_on, cpu_off, cpu_off > 0 ? cpu_on / cpu_off : 0.0, on.rss_mib,
                    row.rss_mib);
      tb::note(line);
    }
    cpu_rows().push_back(row);
  }
}
BENCHMARK(BM_GlideCpu)
    ->Args({1, 100, 9})->Args({0, 100, 9})->Args({1, 1000, 9})->Args({0, 1000, 9})
    ->Args({1, 100, 15})->Args({0, 100, 15})->Args({1, 1000, 15})->Args({0, 1000, 15})
    ->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  return tb::run_benchmarks(argc, argv);
}
