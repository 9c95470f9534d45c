#pragma once
// Which folder is the program folder (CONFIG.INI, the log, the pilot's data), and making it.
// A portable install keeps everything beside the executable. An installed program cannot write
// there, so each user's data go to their own data folder: $XDG_DATA_HOME/tolvex
// (~/.local/share/tolvex) on Linux, %LOCALAPPDATA%\Tolvex on Windows.
#include <string>
#include <vector>

namespace tolvex {

enum class FolderPlatform { posix, windows };

struct ProgramFolderInputs {
  std::string executable_folder;          // the program file's folder
  bool executable_folder_writable = true;  // this user can make files there
  // A packaged install marks its folder (kInstalledPackageMarker): even a user who could write
  // there (root) keeps the data in their own folder, so removing the package leaves nothing.
  bool installed_package = false;
  std::string given_folder;               // --folder; empty when not given
  std::string xdg_data_home, home;        // POSIX environment
  std::string local_app_data;             // Windows environment (LOCALAPPDATA)
  FolderPlatform platform = FolderPlatform::posix;
};

enum class FolderSource { given, executable, user_data };

struct ProgramFolderChoice {
  FolderSource source = FolderSource::executable;
  std::string folder;  // with a trailing separator; empty when none could be found
  std::string error;   // Spanish, when folder is empty
};

// The file a packaged install puts beside the executable.
inline constexpr char kInstalledPackageMarker[] = "installed_package";

// --folder when given; else the executable's folder when it is writable and not a packaged
// install; else the user's data folder. Environment paths that are not absolute are ignored
// (as the XDG rules ask); without a usable one there is no folder and `error` says why.
ProgramFolderChoice choose_program_folder(const ProgramFolderInputs& in);

// True when a new file can be made in `folder` (one is made and removed again).
bool folder_is_writable(const std::string& folder);

// Makes the user data folder when missing and, when it holds no CONFIG.INI, writes one with the
// default settings and a comment line saying where it is (a link that works on this platform:
// the IOCP Server where there is no FSUIPC). Returns the lines for the diagnostic log. Throws
// std::runtime_error (Spanish) when the folder cannot be made; a CONFIG.INI that cannot be
// written is only reported in the returned lines. Other choices are left untouched.
std::vector<std::string> prepare_program_folder(const ProgramFolderChoice& choice, const std::string& executable_folder,
                                                FolderPlatform platform);

}  // namespace tolvex
