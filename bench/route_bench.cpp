// The route editor as a pilot meets it, in process, offline (keyless provider, local services):
//  - BM_RouteEditorOpen: the window shown -> ready (page loaded and, with a handed-in route of
//    10 points, that route drawn; the route is drawn one second after the page has loaded);
//  - BM_FlightPlan10: "Generar Plan de Vuelo" on a 10-vertex route at x1 with an elevation
//    service that answers at once -> the report shown; and the part of it spent pausing.
// Run under `xvfb-run -a`.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPushButton>

#include "app_harness.h"
#include "map/browser_bridge.h"
#include "route/flight_plan_report_window.h"
#include "route/route_editor_window.h"
#include "support/fake_map_services.h"

namespace tb = tolvex::bench;

namespace {

tolvex::RouteEditorInputs editor_inputs(const tolvex::test::TempProgramFolder& folder,
                                        const tolvex::test::FakeMapServices& services) {
  tolvex::RouteEditorInputs in;
  in.program_folder = folder.path();
  in.files_folder = tolvex::test::built_program_folder();
  in.maps.proveedor = "osm";
  const std::string no_tiles = "http://127.0.0.1:9/{z}/{x}/{y}.png";
  in.maps.teselas_normal = in.maps.teselas_satelite = in.maps.teselas_hibrido = in.maps.teselas_relieve = no_tiles;
  in.maps.elevacion = services.elevation_template();
  in.maps.geocodificador = services.geocoder_template();
  in.mensaje = [](const QString& text) { tb::note("message: " + text.toStdString()); };
  in.abrir_texto = [](const QString&) { return true; };
  return in;
}

// Ten points from Madrid towards Zaragoza, as the page writes them.
std::string ten_point_route() {
  std::string ruta;
  for (int i = 0; i < 10; ++i)
    ruta += std::to_string(-3.7 + 0.3 * i) + ", " + std::to_string(40.4 + 0.12 * i) + "\n";
  return ruta;
}

bool wait_ready(tolvex::RouteEditor& w, int timeout_ms) {
  QEventLoop loop;
  QTimer tick;
  QObject::connect(&tick, &QTimer::timeout, &loop, [&] {
    if (w.ready()) loop.quit();
  });
  tick.start(2);
  QTimer::singleShot(timeout_ms, &loop, &QEventLoop::quit);
  loop.exec();
  return w.ready();
}

void BM_RouteEditorOpen(benchmark::State& state) {
  const bool with_route = state.range(0) != 0;
  tolvex::test::FakeMapServices services;
  std::vector<double> ms;
  for (auto _ : state) {
    tolvex::test::TempProgramFolder folder(false);
    tolvex::RouteEditorInputs in = editor_inputs(folder, services);
    if (with_route) in.ruta_actual = ten_point_route();
    tolvex::RouteEditor w(std::move(in));
    const double t0 = tb::mono_s();
    w.show();
    if (!wait_ready(w, 30000)) {
      state.SkipWithError("the editor never became ready");
      break;
    }
    const double t = tb::mono_s() - t0;
    state.SetIterationTime(t);
    ms.push_back(t * 1000);
    w.reject();
  }
  tb::note(tb::describe(with_route ? "route editor open -> ready, 10-point route drawn" : "route editor open -> ready, no route",
                        tb::summarize(ms), " ms"));
}
BENCHMARK(BM_RouteEditorOpen)->Arg(0)->Arg(1)->Iterations(10)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_FlightPlan10(benchmark::State& state) {
  tolvex::test::FakeMapServices services;
  tolvex::test::TempProgramFolder folder(false);
  tolvex::RouteEditorInputs in = editor_inputs(folder, services);
  in.ruta_actual = ten_point_route();
  tolvex::RouteEditor w(std::move(in));
  w.show();
  if (!wait_ready(w, 30000)) {
    state.SkipWithError("the editor never became ready");
    return;
  }
  std::vector<double> total, waited;
  double shown_at = 0;
  QTimer poll;
  poll.setInterval(1);
  QObject::connect(&poll, &QTimer::timeout, [&] {
    auto* report = qobject_cast<tolvex::FlightPlanReport*>(QApplication::activeModalWidget());
    if (!report || !report->isVisible() || shown_at > 0) return;
    shown_at = tb::mono_s();
    report->Button1->click();
  });
  for (auto _ : state) {
    shown_at = 0;
    poll.start();
    const double t0 = tb::mono_s();
    w.Button10->click();
    poll.stop();
    if (shown_at == 0) {
      state.SkipWithError("no report");
      break;
    }
    state.SetIterationTime(shown_at - t0);
    total.push_back((shown_at - t0) * 1000);
    waited.push_back(static_cast<double>(w.tiempo_esperado_ms()));
  }
  tb::note(tb::describe("flight plan, 10 vertices x1, service answering at once: press -> report shown",
                        tb::summarize(total), " ms"));
  tb::note(tb::describe("  of which paused for the elevation answers", tb::summarize(waited), " ms"));
  tb::note("  elevation requests: " + std::to_string(services.requests.filter(QStringLiteral("/elevation")).size()));
}
BENCHMARK(BM_FlightPlan10)->Iterations(20)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  // Drawn as the program draws (its main() chooses the software scene graph).
  if (qEnvironmentVariableIsEmpty("QT_QUICK_BACKEND")) qputenv("QT_QUICK_BACKEND", "software");
  return tb::run_benchmarks(argc, argv);
}
