#pragma once
// A fresh temporary folder for one test or benchmark, removed (permissions restored first)
// when it goes out of scope. Plain C++: core tests do not link Qt.
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <stdexcept>
#include <string>

namespace tolvex::test {

class TempFolder {
 public:
  // base: the folder to create it in (the system's temporary folder when empty).
  explicit TempFolder(const std::string& base = "") {
    const std::filesystem::path parent = base.empty() ? std::filesystem::temp_directory_path() : std::filesystem::path(base);
    std::string pattern = (parent / "tolvex-shell-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    path_ = pattern + "/";
  }
  ~TempFolder() {
    std::error_code ec;
    for (auto it = std::filesystem::recursive_directory_iterator(path_, ec);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ec))
      if (it->is_directory(ec)) ::chmod(it->path().c_str(), 0755);
    ::chmod(path_.c_str(), 0755);
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
inline int run_unprivileged(const std::function<void(uid_t owner_uid)>& setup, const std::function<int()>& body) {
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
}

}  // namespace tolvex::test
