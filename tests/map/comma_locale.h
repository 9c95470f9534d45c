#pragma once
// Test helper: switches the C and C++ locales of the process to one whose decimal separator is
// a comma, and back at the end of the scope. When the machine has no such locale installed it
// compiles es_ES into a temporary folder with localedef (LOCPATH).
#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <locale>
#include <string>

namespace tolvex::test {

class CommaLocale {
 public:
  CommaLocale() : saved_cpp_(std::locale()) {
    if (const char* c = std::setlocale(LC_ALL, nullptr)) saved_c_ = c;
#ifdef _WIN32
    for (const char* name : {"Spanish_Spain.1252", "es-ES", "German_Germany.1252"})
      if (try_locale(name)) return;
#else
    for (const char* name : {"es_ES.UTF-8", "es_ES.utf8", "de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8"})
      if (try_locale(name)) return;
    const auto dir = std::filesystem::temp_directory_path() / "tolvex_test_locales";
    std::filesystem::create_directories(dir);
    if (std::filesystem::exists(dir / "es_ES.UTF-8" / "LC_NUMERIC")) {
      ::setenv("LOCPATH", dir.c_str(), 1);
      if (try_locale("es_ES.UTF-8")) return;
    }
    const std::string cmd = "localedef -i es_ES -f UTF-8 '" + (dir / "es_ES.UTF-8").string() + "' >/dev/null 2>&1";
    if (std::system(cmd.c_str()) != -1) {
      ::setenv("LOCPATH", dir.c_str(), 1);
      try_locale("es_ES.UTF-8");
    }
#endif
  }
  ~CommaLocale() {
    std::setlocale(LC_ALL, saved_c_.c_str());
    std::locale::global(saved_cpp_);
  }
  bool active() const { return active_; }

 private:
  bool try_locale(const char* name) {
    if (!std::setlocale(LC_ALL, name)) return false;
    const std::lconv* lc = std::localeconv();
    if (!lc || lc->decimal_point[0] != ',') return false;
    try {
      std::locale::global(std::locale(name));
    } catch (...) {
    }
    active_ = true;
    return true;
  }

  std::locale saved_cpp_;
  std::string saved_c_ = "C";
  bool active_ = false;
};

}  // namespace tolvex::test
