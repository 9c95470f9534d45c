// Start-up and page-build costs of the overlays on large files: loading airspaces.txt (about
// 12 MB, 20,000 airspaces of 25 points), building every airspace's statements, and turning a
// 10,000-point PuntosVFR.txt into marker statements; and reading a 5 MB standard OpenAir file
// made by repeating the published national files (skipped when they are not there).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "openair_data.h"
#include "overlays/airspace_catalogue.h"
#include "overlays/airspace_drawing.h"
#include "overlays/vfr_points.h"

namespace {

constexpr int kAirspaces = 20000;
constexpr int kPointsPerAirspace = 25;
constexpr int kVfrPoints = 10000;

class BenchFolder {
 public:
  BenchFolder() {
    path_ = std::filesystem::temp_directory_path() /
            ("tolvex-overlays-bench-" + std::to_string(std::random_device{}()));
    std::filesystem::create_directories(path_);
    write_airspaces();
    write_vfr_points();
  }
  ~BenchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  std::string folder() const { return path_.string() + "/"; }

 private:
  void write(const char* name, const std::string& text) {
    std::ofstream(path_ / name, std::ios::binary) << text;
  }

  void write_airspaces() {
    static const char* kClasses[] = {"R", "P", "Q", "D", "CTR", "SV", "ZP", "AWY"};
    static const char* kColours[] = {"0,2,ROJO", "0,2,AZUL", "0,2,VERDE", "0,2,ORO VIEJO", ""};
    std::mt19937 random(42);
    std::uniform_real_distribution<double> lon(-9.0, 3.0), lat(36.0, 43.5), step(-0.05, 0.05);
    std::string text = "* Espacios aereos generados para medir la carga\r\n";
    std::string selection;
    char line[64];
    for (int i = 0; i < kAirspaces; ++i) {
      const std::string name = "Zona " + std::to_string(i);
      text += "AC ";
      text += kClasses[i % 8];
      text += "\r\nAN " + name + "\r\nAH FL 95\r\nAL SFC\r\n";
      if (const char* sp = kColours[i % 5]; *sp) text += std::string("SP ") + sp + "\r\n";
      double x = lon(random), y = lat(random);
      for (int k = 0; k < kPointsPerAirspace; ++k) {
        if (k == 12 && i % 4 == 0) text += "DA 5,270,90\r\n";
        std::snprintf(line, sizeof line, "DP %.4f,%.4f\r\n", x, y);
        text += line;
        x += step(random);
        y += step(random);
      }
      if (i % 2 == 0) selection += name + "\r\n";
    }
    write("airspaces.txt", text);
    write("airspsel.txt", selection);
    airspaces_bytes = text.size();
  }

  void write_vfr_points() {
    std::mt19937 random(7);
    std::uniform_real_distribution<double> lon(-9.0, 3.0), lat(36.0, 43.5);
    std::string text;
    char line[96];
    for (int i = 0; i < kVfrPoints; ++i) {
      std::snprintf(line, sizeof line, "Punto %d|%.6f|%.6f\r\n", i, lat(random), lon(random));
      std::string l = line;
      if (i % 2) {  // half of them with comma decimals, as hand-made files mix both
        for (char& c : l) c = c == '.' ? ',' : c;
      }
      text += l;
    }
    write("PuntosVFR.txt", text);
  }

  std::filesystem::path path_;

 public:
  std::size_t airspaces_bytes = 0;
};

BenchFolder& bench_folder() {
  static BenchFolder folder;
  return folder;
}

void BM_LoadCatalogue(benchmark::State& state) {
  const std::string folder = bench_folder().folder();
  std::size_t records = 0;
  for (auto _ : state) {
    tolvex::AirspaceCatalogue catalogue = tolvex::load_catalogue(folder);
    records = catalogue.size();
    benchmark::DoNotOptimize(catalogue);
  }
  state.counters["airspaces"] = static_cast<double>(records);
  state.counters["file_MB"] = static_cast<double>(bench_folder().airspaces_bytes) / 1e6;
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bench_folder().airspaces_bytes));
}
BENCHMARK(BM_LoadCatalogue)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_StatementsForAllAirspaces(benchmark::State& state) {
  const tolvex::AirspaceCatalogue catalogue = tolvex::load_catalogue(bench_folder().folder());
  std::size_t statements = 0;
  for (auto _ : state) {
    statements = 0;
    for (const tolvex::TAirSpace& r : catalogue) {
      std::vector<std::string> out = tolvex::sentencias_espacio(r, true);
      statements += out.size();
      benchmark::DoNotOptimize(out);
    }
  }
  state.counters["statements"] = static_cast<double>(statements);
}
BENCHMARK(BM_StatementsForAllAirspaces)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_VfrStatementsFromFile(benchmark::State& state) {
  const std::string folder = bench_folder().folder();
  std::size_t bytes = 0;
  for (auto _ : state) {
    std::string text = tolvex::load_vfr_statements(folder);
    bytes = text.size();
    benchmark::DoNotOptimize(text);
  }
  state.counters["output_KB"] = static_cast<double>(bytes) / 1e3;
}
BENCHMARK(BM_VfrStatementsFromFile)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// About 5 MB of published standard OpenAir (names made unique per copy), written to
// airspaces.txt and read into the catalogue as at start-up.
void BM_LoadStandardOpenAir5MB(benchmark::State& state) {
  std::string source;
  for (const char* name : {"CA-ASP-National.txt", "ZA-ASP-National.txt", "SK-ASP-National.txt", "MW-ASP-National.txt"})
    source += tolvex::bench::openair_file(name) + "\n";
  if (source.size() < 1000) {
    state.SkipWithError("no published OpenAir files (../shared/data/openair)");
    return;
  }
  std::string text;
  for (int copy = 0; text.size() < 5'000'000; ++copy) {
    std::string part = source;
    const std::string suffix = " #" + std::to_string(copy);
    for (std::size_t at = part.find("\nAN "); at != std::string::npos; at = part.find("\nAN ", at + 1)) {
      const std::size_t end = part.find_first_of("\r\n", at + 1);
      part.insert(end == std::string::npos ? part.size() : end, suffix);
    }
    text += part;
  }
  text.resize(text.rfind("\nAC ", 5'000'000) + 1);  // 5 MB of whole airspaces
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / ("tolvex-openair-bench-" + std::to_string(std::random_device{}()));
  std::filesystem::create_directories(dir);
  std::ofstream(dir / "airspaces.txt", std::ios::binary) << text;
  std::size_t records = 0, points = 0, skipped = 0;
  for (auto _ : state) {
    tolvex::InformeEspacios informe;
    tolvex::AirspaceCatalogue catalogue = tolvex::load_catalogue(dir.string() + "/", &informe);
    records = catalogue.size();
    skipped = informe.omitidos;
    benchmark::DoNotOptimize(catalogue);
  }
  for (const tolvex::TAirSpace& a : tolvex::load_catalogue(dir.string() + "/")) points += a.contorno.size();
  std::error_code ignored;
  std::filesystem::remove_all(dir, ignored);
  state.counters["airspaces"] = static_cast<double>(records);
  state.counters["skipped"] = static_cast<double>(skipped);
  state.counters["points"] = static_cast<double>(points);
  state.counters["file_MB"] = static_cast<double>(text.size()) / 1e6;
}
BENCHMARK(BM_LoadStandardOpenAir5MB)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
