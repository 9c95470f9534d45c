// The map page under load, in a connected main window on the keyless (osm) provider, offline:
//  - BM_PageRebuild: actualizar_mapa called -> mapa_cargado (map_page_loaded), tiles refused
//    (arg 0) or served by a local tile server (arg 1);
//  - BM_MueveAvionMemory: 20,000 MueveAvion statements through the bridge as fast as the page
//    takes them; RSS of the program and its browser engine processes, and page-side counts;
//  - BM_Airspaces500: 500 selected airspaces drawn by the TimerEA pass of a fresh live page,
//    until the page's `espacios` holds them all;
//  - BM_AirspacesCanada: the same with the published Canadian OpenAir file (1,499 airspaces,
//    2,204 arcs and circles), all selected; skipped without ../shared/data/openair.
// Run under `xvfb-run -a`.
#include <benchmark/benchmark.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>

#include "app_harness.h"
#include "base/text_file.h"
#include "openair_data.h"
#include "overlays/airspace_catalogue.h"
#include "shell/tolvex_application.h"

namespace tb = tolvex::bench;

namespace {

// What the page holds: DOM nodes under the map division and in the document, Leaflet layers and
// handlers on the map and on the aircraft marker, tiles, and the script heap after a collection.
const char kPageCounts[] =
    "(function(){var ev=function(o){var n=0;if(o&&o._events)for(var k in o._events)n+=o._events[k].length;return n;};"
    "if(window.gc)gc();var d=document.getElementById('map');"
    "return JSON.stringify({map_nodes:d.getElementsByTagName('*').length,"
    "all_nodes:document.getElementsByTagName('*').length,"
    "layers:Object.keys(map.__l._layers).length,map_handlers:ev(map.__l),"
    "marker_handlers:ev(marcador.__lm),"
    "tiles:document.querySelectorAll('img.leaflet-tile').length,"
    "tiles_loaded:document.querySelectorAll('img.leaflet-tile-loaded').length,"
    "heap:(performance.memory?performance.memory.usedJSHeapSize:-1),"
    "rutades:(rutades?rutades.getPath().getLength():0)});})()";

QJsonObject page_counts(tb::AppSession& app) {
  return QJsonDocument::fromJson(app.evaluate(QString::fromLatin1(kPageCounts)).toString().toUtf8()).object();
}

std::string counts_text(const QJsonObject& o) {
  return QJsonDocument(o).toJson(QJsonDocument::Compact).toStdString();
}

tb::AppConfig quiet_config(const tb::LocalServers& servers, bool tiles) {
  tb::AppConfig config;
  config.iocp_port = servers.iocp_port();
  config.tile_port = tiles ? servers.tile_port() : 9;
  config.intervalo = "3600";  // no timer poll gets in the way
  return config;
}

simfeed::IocpVariables madrid() { return {4041500, -370300, 9000}; }

void BM_PageRebuild(benchmark::State& state) {
  const bool tiles = state.range(0) != 0;
  tb::LocalServers servers([] { return madrid(); });
  tb::AppSession app(quiet_config(servers, tiles));
  app.start();
  app.connect_and_wait();
  const int self = static_cast<int>(::getpid());
  std::vector<double> total, host;
  std::size_t engine_processes_first = 0;
  long rss_first = 0;
  int done = 0;
  for (auto _ : state) {
    QSignalSpy loaded(app.window.get(), &tolvex::MainWindow::map_page_loaded);
    const double t0 = tb::mono_s();
    app.window->actualizar_mapa();
    const double t1 = tb::mono_s();
    if (!tb::wait_signal(loaded, 30000)) {
      state.SkipWithError("the rebuilt page never loaded");
      break;
    }
    const double t2 = tb::mono_s();
    state.SetIterationTime(t2 - t0);
    total.push_back((t2 - t0) * 1000);
    host.push_back((t1 - t0) * 1000);
    state.PauseTiming();
    tb::run_events_for(300);  // the old view goes away, the one-shot timers run
    if (++done == 2) {
      engine_processes_first = tb::descendants(self).size();
      rss_first = tb::tree_rss_kib(self);
    }
    state.ResumeTiming();
  }
  const tb::Stats t = tb::summarize(total);
  state.counters["median_ms"] = t.median;
  state.counters["p90_ms"] = t.p90;
  state.counters["max_ms"] = t.max;
  const QJsonObject counts = page_counts(app);
  tb::note(std::string("Page rebuild, osm, offline, tiles ") + (tiles ? "from a local server" : "refused") + ":");
  tb::note(tb::describe("  actualizar_mapa called -> map_page_loaded", t, "ms"));
  tb::note(tb::describe("  of which actualizar_mapa itself (page build, file, new view, navigate)",
                        tb::summarize(host), "ms"));
  tb::note("  engine processes after rebuild 2: " + std::to_string(engine_processes_first) + ", after the last: " +
           std::to_string(tb::descendants(self).size()) + "; program+engine RSS " + std::to_string(rss_first / 1024) +
           " MiB -> " + std::to_string(tb::tree_rss_kib(self) / 1024) + " MiB; last page " + counts_text(counts) +
           "; load average " + tb::loadavg());
}
BENCHMARK(BM_PageRebuild)->Arg(0)->Arg(1)->Iterations(30)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_MueveAvionMemory(benchmark::State& state) {
  tb::LocalServers servers([] { return madrid(); });
  tb::AppSession app(quiet_config(servers, true));
  app.start();
  app.connect_and_wait();
  tolvex::MainWindow& w = *app.window;
  const int self = static_cast<int>(::getpid());
  // A dynamic route, so each call also moves its line and rewrites its titles.
  app.evaluate(QStringLiteral(
      "google.maps.event.trigger(map,'dblclick',{latLng:new google.maps.LatLng(40.5,-3.6),stop:function(){}});1"));

  // The aircraft flies small circles: every heading sector, a pan on every call (follow mode),
  // and the view stays over the same few tiles.
  long long call = 0;
  const auto move = [&](int count) {
    for (int i = 0; i < count; ++i, ++call) {
      const double a = static_cast<double>(call) * 0.02;
      w.latitud = 40.415 + 0.01 * std::sin(a);
      w.longitud = -3.703 + 0.01 * std::cos(a);
      w.heading = static_cast<std::int32_t>(call * 7 % 360);
      w.mover_avion();
      if (i % 100 == 99) app.evaluate(QStringLiteral("0"));  // the page has taken them all
    }
    app.evaluate(QStringLiteral("0"));
  };

  for (auto _ : state) {
    state.PauseTiming();
    move(1000);  // warm-up: caches, tiles, the script engine's code
    tb::run_events_for(2000);
    long engine_before = 0;
    const long rss_before = tb::tree_rss_kib(self, &engine_before);
    const QJsonObject counts_before = page_counts(app);
    state.ResumeTiming();
    double elapsed = 0;
    std::string trend;
    for (int block = 0; block < 4; ++block) {
      const double t0 = tb::mono_s();
      move(5000);
      elapsed += tb::mono_s() - t0;
      const QJsonObject c = page_counts(app);
      trend += " " + std::to_string((block + 1) * 5000) + ":" +
               std::to_string(static_cast<long long>(c.value("heap").toDouble())) + "B/" +
               std::to_string(tb::tree_rss_kib(self)) + "KiB";
    }
    state.SetIterationTime(elapsed);
    state.PauseTiming();
    tb::run_events_for(2000);
    long engine_after = 0;
    const long rss_after = tb::tree_rss_kib(self, &engine_after);
    const QJsonObject counts_after = page_counts(app);
    const double growth = 100.0 * static_cast<double>(rss_after - rss_before) / static_cast<double>(rss_before);
    state.counters["rss_growth_pct"] = growth;
    state.counters["calls_per_s"] = 20000 / elapsed;
    state.counters["map_nodes_before"] = counts_before.value("map_nodes").toDouble();
    state.counters["map_nodes_after"] = counts_after.value("map_nodes").toDouble();
    tb::note("20,000 MueveAvion through the bridge in " + std::to_string(elapsed) + " s (" +
             std::to_string(20000 / elapsed) + " calls/s), follow mode, dynamic route on:");
    tb::note("  RSS program+engine " + std::to_string(rss_before) + " KiB -> " + std::to_string(rss_after) +
             " KiB (" + std::to_string(growth) + " %); program " + std::to_string(rss_before - engine_before) +
             " -> " + std::to_string(rss_after - engine_after) + " KiB, engine processes " +
             std::to_string(engine_before) + " -> " + std::to_string(engine_after) + " KiB");
    tb::note("  page before: " + counts_text(counts_before));
    tb::note("  page after:  " + counts_text(counts_after));
    tb::note("  script heap / RSS after each 5000 calls:" + trend);
    for (int pid : tb::descendants(self))
      tb::note("  engine process " + std::to_string(pid) + " " + tb::process_name(pid) + ": " +
               std::to_string(tb::rss_kib(pid)) + " KiB");
    tb::note("  load average " + tb::loadavg());
    state.ResumeTiming();
  }
}
BENCHMARK(BM_MueveAvionMemory)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

// Script heap kept per call, after a collection, for MueveAvion and the pieces of its work,
// run in the page (no bridge) and through the bridge: where a growth comes from.
void BM_PageHeapPerCall(benchmark::State& state) {
  tb::LocalServers servers([] { return madrid(); });
  tb::AppSession app(quiet_config(servers, true));
  app.start();
  app.connect_and_wait();
  app.evaluate(QStringLiteral(
      "google.maps.event.trigger(map,'dblclick',{latLng:new google.maps.LatLng(40.5,-3.6),stop:function(){}});1"));
  const auto heap = [&] {
    return app.evaluate(QStringLiteral("gc();gc();performance.memory.usedJSHeapSize")).toDouble();
  };
  if (app.evaluate(QStringLiteral("typeof gc")).toString() != QStringLiteral("function")) {
    state.SkipWithError("no gc() in the page (QTWEBENGINE_CHROMIUM_FLAGS without --js-flags=--expose-gc)");
    return;
  }
  // Each body runs with i as the call number; positions circle as in BM_MueveAvionMemory.
  const std::vector<std::pair<const char*, const char*>> cases = {
      {"MueveAvion (in page)", "MueveAvion(40.415+0.01*Math.sin(i*0.02),-3.703+0.01*Math.cos(i*0.02),(i*7)%360,1);"},
      {"marcador.setPosition", "marcador.setPosition(new google.maps.LatLng(40.415+0.01*Math.sin(i*0.02),-3.7));"},
      {"marcador.setIcon", "marcador.setIcon(i%2?iconN:iconS);"},
      {"marcador.setTitle", "marcador.setTitle('Heading: '+(i%360));"},
      {"map.panTo", "map.panTo(new google.maps.LatLng(40.415+0.01*Math.sin(i*0.02),-3.7));"},
      {"rutades setAt + actualizatitulos",
       "rutades.getPath().setAt(1,new google.maps.LatLng(40.415+0.01*Math.sin(i*0.02),-3.7));actualizatitulos();"},
  };
  const int n = 5000;
  for (auto _ : state) {
    for (const auto& [label, body] : cases) {
      const double h0 = heap();
      app.evaluate(QStringLiteral("(function(){for(var i=0;i<%1;i++){%2}return 0;})()").arg(n).arg(QLatin1String(body)),
                   60000);
      tb::run_events_for(200);
      const double h1 = heap();
      tb::note(std::string("  ") + label + ": " + std::to_string((h1 - h0) / n) + " bytes kept per call");
    }
    // Bounded or not: the heap after each further block of in-page calls.
    std::string trend;
    for (int block = 1; block <= 4; ++block) {
      app.evaluate(QStringLiteral("(function(){for(var i=0;i<20000;i++){%1}return 0;})()").arg(QLatin1String(cases[0].second)),
                   120000);
      tb::run_events_for(200);
      trend += " " + std::to_string(block * 20000) + ":" + std::to_string(static_cast<long long>(heap())) + "B";
    }
    tb::note("  MueveAvion (in page), heap after each 20000 more calls:" + trend);
    tolvex::MainWindow& w = *app.window;
    const double h0 = heap();
    for (int i = 0; i < n; ++i) {
      w.latitud = 40.415 + 0.01 * std::sin(i * 0.02);
      w.longitud = -3.703 + 0.01 * std::cos(i * 0.02);
      w.heading = i * 7 % 360;
      w.mover_avion();
      if (i % 100 == 99) app.evaluate(QStringLiteral("0"));
    }
    tb::run_events_for(200);
    const double h1 = heap();
    tb::note("  MueveAvion through the bridge: " + std::to_string((h1 - h0) / n) + " bytes kept per call");
    // Every statement is a script of its own: what the engine keeps of each distinct one.
    const double u0 = heap();
    for (int i = 0; i < n; ++i) {
      w.bridge->run_statement(QStringLiteral("void %1;").arg(i));
      if (i % 100 == 99) app.evaluate(QStringLiteral("0"));
    }
    tb::run_events_for(200);
    tb::note("  distinct empty statements through the bridge: " + std::to_string((heap() - u0) / n) +
             " bytes kept per call");
    const double h2 = heap();
    for (int i = 0; i < n; ++i) {
      w.bridge->run_statement(QStringLiteral("void 0;"));
      if (i % 100 == 99) app.evaluate(QStringLiteral("0"));
    }
    tb::run_events_for(200);
    tb::note("  an empty statement through the bridge: " + std::to_string((heap() - h2) / n) + " bytes kept per call");
  }
}
BENCHMARK(BM_PageHeapPerCall)->Iterations(1)->Unit(benchmark::kMillisecond);

// 500 airspaces around Madrid, 40 points each, all selected.
std::map<std::string, std::string> airspace_files(int count, int points) {
  const char* colours[] = {"ROJO", "AZUL", "MAGENTA", "NEGRO"};
  std::string text = "* generated for the benchmark\r\n";
  std::string selection;
  for (int i = 0; i < count; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "BENCH %04d", i);
    const double clat = 40.4 + 2.5 * std::sin(i * 0.37), clon = -3.7 + 3.0 * std::cos(i * 0.61);
    const double r = 0.03 + 0.002 * (i % 50);
    text += "\r\nAC " + std::string(i % 3 ? "R" : "CTR") + "\r\nAN " + name + "\r\nAH FL 095\r\nAL SFC\r\nSP 0,2," +
            colours[i % 4] + "\r\n";
    for (int k = 0; k < points; ++k) {
      char dp[64];
      const double a = 2 * M_PI * k / points;
      std::snprintf(dp, sizeof dp, "DP %.4f,%.4f\r\n", clon + r * 1.3 * std::cos(a), clat + r * std::sin(a));
      text += dp;
    }
    selection += std::string(name) + "\r\n";
  }
  return {{"airspaces.txt", text}, {"airspsel.txt", selection}};
}

// The published Canadian file and a selection of every airspace in it; empty when missing.
std::map<std::string, std::string> canadian_files() {
  const std::string bytes = tb::openair_file("CA-ASP-National.txt");
  if (bytes.empty()) return {};
  std::string selection;
  for (const tolvex::TAirSpace& a : tolvex::read_airspaces(tolvex::decode_text(bytes), nullptr)) selection += a.AN + "\r\n";
  return {{"airspaces.txt", bytes}, {"airspsel.txt", selection}};
}

// Every selected airspace drawn by the TimerEA pass of a freshly built live page, timed from the
// pass's first statement to `espacios.length` read back complete.
void airspace_pass(benchmark::State& state, const std::map<std::string, std::string>& files, const std::string& what) {
  tb::LocalServers servers(tb::flight_source());
  tb::AppConfig config;
  config.iocp_port = servers.iocp_port();
  config.tile_port = servers.tile_port();
  config.airspaces = true;  // VERAIRSPACES: TimerEA runs after each page load; polls go on at 10 Hz
  tb::AppSession app(config, files);
  app.start();
  app.connect_and_wait();
  tolvex::MainWindow& w = *app.window;
  int visible = 0;
  for (const auto& a : w.airspaces) visible += a.visible ? 1 : 0;
  // The first page's own pass runs 150 ms after its load: let it end, or the first iteration
  // would be timed from its statements.
  for (const double deadline = tb::mono_s() + 30;
       tb::mono_s() < deadline && (w.TimerEA.isActive() || app.evaluate(QStringLiteral("espacios.length")).toInt() < visible);)
    tb::run_events_for(20);

  double first_statement = 0, pass_end = 0;
  int statements = 0;
  QStringList pass;  // the statements of the last pass
  tolvex::BrowserBridge::set_statement_observer([&](const QString& s) {
    if (!s.startsWith(QStringLiteral("NuevoPoligono("))) return;
    if (statements++ == 0) {
      first_statement = tb::mono_s();
      pass.clear();
    }
    pass << s;
  });
  // Connected after the window's own handler, so it runs once TimerEATimer has returned.
  QObject::connect(&w.TimerEA, &QTimer::timeout, &w, [&] { pass_end = tb::mono_s(); });

  std::vector<double> total, host;
  for (auto _ : state) {
    first_statement = pass_end = 0;
    statements = 0;
    QSignalSpy loaded(&w, &tolvex::MainWindow::map_page_loaded);
    w.actualizar_mapa();
    if (!tb::wait_signal(loaded, 30000)) {
      state.SkipWithError("the page never loaded");
      break;
    }
    const double deadline = tb::mono_s() + 60;
    while (pass_end == 0 && tb::mono_s() < deadline) tb::run_events_for(5);
    int drawn = 0;
    while (tb::mono_s() < deadline) {
      drawn = app.evaluate(QStringLiteral("espacios.length")).toInt();
      if (drawn >= visible) break;
      tb::run_events_for(5);
    }
    const double done = tb::mono_s();
    if (drawn < visible || pass_end == 0 || statements == 0) {
      state.SkipWithError("the page never held every airspace");
      break;
    }
    state.SetIterationTime(done - first_statement);
    total.push_back((done - first_statement) * 1000);
    host.push_back((pass_end - first_statement) * 1000);
  }
  tolvex::BrowserBridge::set_statement_observer(nullptr);
  const tb::Stats t = tb::summarize(total);
  state.counters["median_ms"] = t.median;
  state.counters["max_ms"] = t.max;
  state.counters["airspaces"] = visible;
  tb::note("Airspaces: " + std::to_string(visible) + " selected (" + what + "), " + std::to_string(statements) +
           " NuevoPoligono statements a pass, live page at 10 Hz:");
  tb::note(tb::describe("  first statement sent -> espacios.length read back complete", t, "ms"));
  tb::note(tb::describe("  of which the host pass (TimerEATimer)", tb::summarize(host), "ms"));
  tb::note("  page after: " + counts_text(page_counts(app)) + "; load average " + tb::loadavg());
  // The same statements run inside the page in one go: the page's own share of the time.
  const double in_page = app.evaluate(QStringLiteral("(function(b){var t=performance.now();"
                                                     "for(var i=0;i<b.length;i++)(0,eval)(b[i]);"
                                                     "return performance.now()-t;})(") +
                                          QString::fromUtf8(QJsonDocument(QJsonArray::fromStringList(pass))
                                                                .toJson(QJsonDocument::Compact)) +
                                          QStringLiteral(")"),
                                      60000)
                              .toDouble();
  tb::note("  the pass's " + std::to_string(pass.size()) + " statements evaluated inside the page in one go: " +
           std::to_string(in_page) + " ms (script only; painting follows)");
}
void BM_Airspaces500(benchmark::State& state) {
  airspace_pass(state, airspace_files(static_cast<int>(state.range(0)), 40), "40 points each");
}
BENCHMARK(BM_Airspaces500)->Arg(500)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_AirspacesCanada(benchmark::State& state) {
  const auto files = canadian_files();
  if (files.empty()) {
    state.SkipWithError("no published OpenAir files (../shared/data/openair)");
    return;
  }
  airspace_pass(state, files, "the Canadian OpenAir file, arcs and circles sampled");
}
BENCHMARK(BM_AirspacesCanada)->Iterations(9)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  // gc() in the page, so heap readings are what the page keeps, not what it has not yet freed.
  if (qEnvironmentVariableIsEmpty("QTWEBENGINE_CHROMIUM_FLAGS"))
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS",
            "--disable-background-networking --disable-component-update --no-first-run --js-flags=--expose-gc --enable-precise-memory-info");
  return tb::run_benchmarks(argc, argv);
}
