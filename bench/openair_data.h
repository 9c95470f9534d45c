#pragma once
// The published OpenAir files of the shared data folder (../shared/data/openair beside the
// clone, or TOLVEX_OPENAIR_DIR), which the benchmarks use when present and skip without.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace tolvex::bench {

inline std::filesystem::path openair_folder() {
  if (const char* dir = std::getenv("TOLVEX_OPENAIR_DIR"); dir && *dir) return dir;
  for (const char* up : {"/../shared/data/openair", "/../../shared/data/openair"}) {
    const std::filesystem::path p = std::filesystem::path(TOLVEX_SOURCE_DIR + std::string(up)).lexically_normal();
    if (std::filesystem::is_directory(p)) return p;
  }
  return {};
}

// The bytes of one file of that folder; empty when it is missing.
inline std::string openair_file(const std::string& name) {
  const std::filesystem::path folder = openair_folder();
  if (folder.empty()) return {};
  std::ifstream in(folder / name, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

}  // namespace tolvex::bench
