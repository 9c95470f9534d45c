// Start-up load and close-time save of CONFIG.INI. Target: 1 ms each for a 1,000-line file.
#include <benchmark/benchmark.h>

#include <string>

#include "base/ini_file.h"
#include "shell/settings.h"
#include "support/temp_folder.h"
#include "base/text_file.h"

namespace {

using tolvex::IniFile;
using tolvex::Settings;

// 1,000 lines: the program's sections at the end (lookups walk past everything else),
// preceded by comments, blank lines and unknown sections a user or another tool left there.
std::string thousand_line_config() {
  std::string text = "; CONFIG.INI de Tolvex\r\n";
  int lines = 1;
  for (int section = 0; lines < 940; ++section) {
    text += "[OTRA" + std::to_string(section) + "]\r\n";
    ++lines;
    for (int k = 0; k < 20 && lines < 940; ++k, ++lines)
      text += (k % 7 == 3 ? "; nota " : "CLAVE" + std::to_string(k) + " = ") + std::string(30, 'v') + "\r\n";
  }
  text +=
      "[INICIO]\r\nSIZE=1\r\nTIPOMAPA=N\r\nSONIDOS=S\r\nAUTOMAT=S\r\nPUERTO=8090\r\nDIRIP=127.0.0.1\r\n"
      "INTERVALO=2,5\r\nTIPOCONEXION=I\r\nDEBUG=N\r\nPUNTOSVFR=S\r\nXPLANE=N\r\nVERAIRSPACES=N\r\nTIPOG=1\r\n\r\n"
      "[RUTA]\r\nANCHO=4\r\nCOLOR=10\r\nTRANS=1\r\nVIS=N\r\nVELOCIDAD=120\r\nCONSUMO=12,5\r\n\r\n"
      "[RUTADIN]\r\nANCHO=4\r\nCOLOR=10\r\nTRANS=1\r\n\r\n"
      "[MAPAS]\r\nPROVEEDOR=osm\r\nCLAVE=\r\n";
  lines += 33;
  for (; lines < 1000; ++lines) text += "; relleno\r\n";
  return text;
}

void BM_LoadSettings(benchmark::State& state) {
  tolvex::test::TempFolder folder;
  folder.write("CONFIG.INI", thousand_line_config());
  const std::string path = folder.file("CONFIG.INI");
  for (auto _ : state) {
    IniFile ini(path);
    Settings s = tolvex::load_settings(ini, ',');
    benchmark::DoNotOptimize(s);
  }
}
BENCHMARK(BM_LoadSettings)->Unit(benchmark::kMicrosecond);

void BM_LoadSettingsParseOnly(benchmark::State& state) {
  const std::string text = thousand_line_config();
  for (auto _ : state) {
    IniFile ini = IniFile::from_text("CONFIG.INI", text);
    Settings s = tolvex::load_settings(ini, ',');
    benchmark::DoNotOptimize(s);
  }
}
BENCHMARK(BM_LoadSettingsParseOnly)->Unit(benchmark::kMicrosecond);

// Open + save_preferences + flush, as the close does. One preference flips each round so
// every round really writes (an unchanged file is not rewritten). base "" is the system's
// temporary folder (a disk here, fsync included); /dev/shm is memory, where fsync costs
// almost nothing: the difference is the fsync cost.
void save_preferences_in(benchmark::State& state, const std::string& base) {
  tolvex::test::TempFolder folder(base);
  folder.write("CONFIG.INI", thousand_line_config());
  const std::string path = folder.file("CONFIG.INI");
  Settings s = tolvex::load_settings(IniFile(path), ',');
  for (auto _ : state) {
    s.auto_ = !s.auto_;
    IniFile ini(path);
    tolvex::save_preferences(ini, s);
  }
}
void BM_SavePreferencesDisk(benchmark::State& state) { save_preferences_in(state, ""); }
void BM_SavePreferencesMemory(benchmark::State& state) { save_preferences_in(state, "/dev/shm"); }
BENCHMARK(BM_SavePreferencesDisk)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_SavePreferencesMemory)->Unit(benchmark::kMicrosecond)->UseRealTime();

// The bare cost of one atomic replace of a 30 KB file on the temporary folder's disk.
void BM_AtomicWriteDisk(benchmark::State& state) {
  tolvex::test::TempFolder folder;
  const std::string text = thousand_line_config();
  for (auto _ : state) tolvex::write_file_atomically(folder.file("CONFIG.INI"), text);
}
BENCHMARK(BM_AtomicWriteDisk)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
