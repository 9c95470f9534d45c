#include "shell/program_folder.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <stdexcept>
#include <system_error>

#include "base/text_file.h"
#include "shell/settings.h"

namespace tolvex {
namespace fs = std::filesystem;
namespace {

bool is_separator(char c, FolderPlatform platform) {
  return c == '/' || (platform == FolderPlatform::windows && c == '\\');
}

char separator_of(FolderPlatform platform) { return platform == FolderPlatform::windows ? '\\' : '/'; }

bool is_absolute(const std::string& path, FolderPlatform platform) {
  if (platform == FolderPlatform::posix) return !path.empty() && path[0] == '/';
  const bool drive = path.size() >= 3 && ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z')) &&
                     path[1] == ':' && is_separator(path[2], platform);
  const bool unc = path.size() >= 3 && is_separator(path[0], platform) && is_separator(path[1], platform);
  return drive || unc;
}

std::string with_separator(std::string folder, FolderPlatform platform) {
  if (folder.empty() || !is_separator(folder.back(), platform)) folder += separator_of(platform);
  return folder;
}

// base + name + separator, without doubling the separator base may end with.
std::string child_folder(std::string base, const std::string& name, FolderPlatform platform) {
  while (base.size() > 1 && is_separator(base.back(), platform)) base.pop_back();
  return with_separator(with_separator(base, platform) + name, platform);
}

fs::path native(const std::string& utf8) { return fs::path(std::u8string(utf8.begin(), utf8.end())); }

// Makes the folder and the missing folders above it, each readable by its owner only, as the
// XDG rules ask of data folders the program makes.
void make_folder(const std::string& folder) {
  std::vector<fs::path> missing;
  std::error_code ec;
  fs::path p = native(folder).lexically_normal();
  if (!p.has_filename()) p = p.parent_path();  // the trailing separator
  for (; !p.empty() && !fs::exists(p, ec); p = p.parent_path()) {
    missing.push_back(p);
    if (p == p.parent_path()) break;
  }
  for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
    if (!fs::create_directory(*it, ec) && !fs::is_directory(*it, ec))
      throw std::runtime_error("No se ha podido crear la carpeta de datos " + folder);
    fs::permissions(*it, fs::perms::owner_all, fs::perm_options::replace, ec);
  }
  if (!fs::is_directory(native(folder), ec))
    throw std::runtime_error("No se ha podido crear la carpeta de datos " + folder);
}

}  // namespace

ProgramFolderChoice choose_program_folder(const ProgramFolderInputs& in) {
  ProgramFolderChoice choice;
  if (!in.given_folder.empty()) {
    choice.source = FolderSource::given;
    choice.folder = with_separator(in.given_folder, in.platform);
    return choice;
  }
  if (in.executable_folder_writable && !in.installed_package) {
    choice.source = FolderSource::executable;
    choice.folder = with_separator(in.executable_folder, in.platform);
    return choice;
  }
  choice.source = FolderSource::user_data;
  if (in.platform == FolderPlatform::windows) {
    if (is_absolute(in.local_app_data, in.platform))
      choice.folder = child_folder(in.local_app_data, "Tolvex", in.platform);
    else
      choice.error = "No se encuentra la carpeta de datos del usuario (LOCALAPPDATA).";
  } else if (is_absolute(in.xdg_data_home, in.platform)) {
    choice.folder = child_folder(in.xdg_data_home, "tolvex", in.platform);
  } else if (is_absolute(in.home, in.platform)) {
    choice.folder = child_folder(child_folder(in.home, ".local/share", in.platform), "tolvex", in.platform);
  } else {
    choice.error = "No se encuentra la carpeta de datos del usuario (ni XDG_DATA_HOME ni HOME).";
  }
  if (!choice.error.empty())
    choice.error += " Tolvex no puede escribir en su carpeta (" + in.executable_folder +
                    "): indique una carpeta con --folder.";
  return choice;
}

bool folder_is_writable(const std::string& folder) {
  static std::atomic<unsigned> counter{0};
  const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  const std::string probe = folder + ".tolvex-probe-" + std::to_string(stamp) + "-" + std::to_string(counter++);
  try {
    write_file_atomically(probe, "");
  } catch (const std::exception&) {
    return false;
  }
  delete_file(probe);
  return true;
}

std::vector<std::string> prepare_program_folder(const ProgramFolderChoice& choice, const std::string& executable_folder,
                                                FolderPlatform platform) {
  if (choice.source != FolderSource::user_data) return {};
  const std::string why = "Carpeta del programa: " + choice.folder +
                          " (los datos del piloto se guardan aquí: Tolvex no escribe en su propia carpeta, " +
                          executable_folder + ")";
  make_folder(choice.folder);
  std::vector<std::string> lines{why};
  const std::string config = choice.folder + "CONFIG.INI";
  if (file_exists(config)) return lines;
  Settings defaults;
  // FSUIPC exists only on Windows: elsewhere the IOCP Server (the simulator stand-in serves it too).
  if (platform != FolderPlatform::windows) set_link_kind(defaults, LinkKind::iocp);
  try {
    write_first_settings(config, "Configuración de Tolvex de este usuario: " + config, defaults);
    lines.push_back("CONFIG.INI creado con los valores por defecto");
  } catch (const std::exception& error) {
    lines.push_back(error.what());
  }
  return lines;
}

}  // namespace tolvex
