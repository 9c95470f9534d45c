#pragma once
// A scratch program folder for the file tests of the overlays, removed at the end of the test.
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <string_view>

namespace tolvex::testing {

class ScratchFolder {
 public:
  ScratchFolder() {
    std::random_device seed;
    path_ = std::filesystem::temp_directory_path() /
            ("tolvex-overlays-" + std::to_string(seed()) + std::to_string(seed()));
    std::filesystem::create_directories(path_);
  }
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  // The folder with a trailing separator, as the program passes it.
  std::string folder() const { return path_.string() + "/"; }
  std::filesystem::path path() const { return path_; }

  void write(const std::string& name, std::string_view bytes) const {
    std::ofstream out(path_ / name, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }

 private:
  std::filesystem::path path_;
};

}  // namespace tolvex::testing
