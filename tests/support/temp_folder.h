#pragma once
// A fresh temporary folder for one test or benchmark, removed (permissions restored first)
// when it goes out of scope. Plain C++: core tests do not link Qt.
#include <stdlib.h>
#include <sys/stat.h>
#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <stdexcept>
#include <string>

namespace tolvex::test {

#ifdef _WIN32
using uid_t = int;
#else
using uid_t = ::uid_t;
#endif

// Owner and mode of a file for the tests that need a read-only folder (POSIX only; on Windows
// run_unprivileged never gets as far as calling them).
inline void set_mode(const std::string& path, unsigned mode) {
#ifdef _WIN32
  (void)path, (void)mode;
#else
  ::chmod(path.c_str(), mode);
#endif
}
inline void set_owner(const std::string& path, uid_t owner) {
#ifdef _WIN32
  (void)path, (void)owner;
#else
  if (::chown(path.c_str(), owner, owner) != 0) return;  // the test then finds the folder writable
#endif
}

class TempFolder {
 public:
  // base: the folder to create it in (the system's temporary folder when empty).
  explicit TempFolder(const std::string& base = "") {
    const std::filesystem::path parent = base.empty() ? std::filesystem::temp_directory_path() : std::filesystem::path(base);
#ifdef _WIN32
    // No mkdtemp: a name from the clock and a counter, created only if it is new.
    static unsigned counter = 0;
    std::filesystem::path made;
    for (int attempt = 0;; ++attempt) {
      const auto tick = std::chrono::steady_clock::now().time_since_epoch().count();
      made = parent / ("tolvex-shell-" + std::to_string(tick) + "-" + std::to_string(++counter));
      if (std::filesystem::create_directory(made)) break;
      if (attempt == 100) throw std::runtime_error("no temporary folder");
    }
    std::string pattern = made.string();
#else
    std::string pattern = (parent / "tolvex-shell-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
#endif
    path_ = pattern + "/";
  }
  ~TempFolder() {
    std::error_code ec;
    for (auto it = std::filesystem::recursive_directory_iterator(path_, ec);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ec))
      if (it->is_directory(ec)) set_mode(it->path().string(), 0755);
    set_mode(path_, 0755);
    std::filesystem::remove_all(path_, ec);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // Folder path with a trailing separator, as the program uses it.
  const std::string& path() const { return path_; }
  std::string file(const std::string& name) const { return path_ + name; }

  void write(const std::string& name, const std::string& bytes) const {
    std::ofstream out(file(name), std::ios::binary);
    out << bytes;
  }
  std::string read(const std::string& name) const {
    std::ifstream in(file(name), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  bool exists(const std::string& name) const { return std::filesystem::exists(file(name)); }
  std::size_t entry_count() const {
    std::size_t n = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(path_)) ++n;
    return n;
  }

 private:
  std::string path_;
};

// chmod cannot keep root (CAP_DAC_OVERRIDE) out of a folder, and tests run as root here.
// Runs `body` where a read-only folder really refuses writes: in this process when it is
// not privileged, else in a child process that gave up root for user and group 65534 ("nobody").
// `setup` runs first, still privileged, on `owner_uid` (the uid that should own test files).
// Returns body's result, or -1 when no unprivileged identity could be taken.
// On Windows a read-only folder attribute does not refuse writes, so there is none: -1.
inline int run_unprivileged(const std::function<void(uid_t owner_uid)>& setup, const std::function<int()>& body) {
#ifdef _WIN32
  (void)setup, (void)body;
  return -1;
#else
  if (::geteuid() != 0) {
    setup(::geteuid());
    return body();
  }
  setup(65534);
  const pid_t child = ::fork();
  if (child < 0) return -1;
  if (child == 0) {
    if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(255);
    ::_exit(body());
  }
  int status = 0;
  if (::waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status) == 255 ? -1 : WEXITSTATUS(status);
#endif
}

}  // namespace tolvex::test
