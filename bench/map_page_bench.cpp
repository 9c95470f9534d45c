// The builder's share of a page rebuild (the whole rebuild, browser included, aims at 300 ms),
// and the per-tick statement.
#include <benchmark/benchmark.h>

#include <string>

#include "map/map_page_builder.h"
#include "map/view_statements.h"

namespace {

tolvex::MapPageInputs inputs(bool chart, int vfr_points) {
  tolvex::MapPageInputs in;
  in.MapaSK = chart;
  in.latitud = 40.41678;
  in.longitud = -3.70379;
  in.heading = 275;
  in.mapsize = 1;
  in.maps.teselas_normal = "https://tile.openstreetmap.org/{z}/{x}/{y}.png";
  in.maps.marca_naranja = "mm_20_orange.png";
  in.maps.skyvector = "skyvector.com";
  // A VFR points file of this many points, as the marker statements come in.
  for (int i = 0; i < vfr_points; ++i)
    in.puntos_vfr += "gmarkers.push(createMarker(new google.maps.LatLng(40." + std::to_string(i) +
                     ",-3.5),'PUNTO " + std::to_string(i) + "'));\r\n";
  return in;
}

void BM_MainPage(benchmark::State& state) {
  const tolvex::MapPageInputs in = inputs(false, static_cast<int>(state.range(0)));
  for (auto _ : state) {
    std::string page = tolvex::build_map_page(in);
    benchmark::DoNotOptimize(page);
  }
}
BENCHMARK(BM_MainPage)->Arg(0)->Arg(200)->Arg(5000)->Unit(benchmark::kMicrosecond);

void BM_ChartPage(benchmark::State& state) {
  const tolvex::MapPageInputs in = inputs(true, 0);
  for (auto _ : state) {
    std::string page = tolvex::build_map_page(in);
    benchmark::DoNotOptimize(page);
  }
}
BENCHMARK(BM_ChartPage)->Unit(benchmark::kMicrosecond);

void BM_MueveAvion(benchmark::State& state) {
  double lat = 40.41678;
  for (auto _ : state) {
    std::string s = tolvex::mueve_avion_statement(lat, -3.70379, 275, true);
    benchmark::DoNotOptimize(s);
    lat += 1e-7;
  }
}
BENCHMARK(BM_MueveAvion);

}  // namespace

BENCHMARK_MAIN();
