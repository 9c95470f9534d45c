#include "shell/program_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "base/ini_file.h"
#include "base/text_file.h"
#include "shell/settings.h"
#include "support/temp_folder.h"

namespace tolvex {
namespace {

using test::TempFolder;
constexpr auto posix = FolderPlatform::posix;
constexpr auto windows = FolderPlatform::windows;

struct FolderCase {
  const char* name;
  ProgramFolderInputs in;
  FolderSource source;
  const char* folder;  // empty: no folder, an error instead
};

TEST(ChooseProgramFolder, BothPlatformsRules) {
  const FolderCase cases[] = {
      {"portable: the writable executable folder", {"/opt/tolvex", true, false, "", "", "/home/ana", "", posix},
       FolderSource::executable, "/opt/tolvex/"},
      {"--folder wins over everything", {"/usr/lib/tolvex", false, true, "/tmp/datos/", "/x", "/home/ana", "", posix},
       FolderSource::given, "/tmp/datos/"},
      {"installed: HOME", {"/usr/lib/tolvex", false, false, "", "", "/home/ana", "", posix},
       FolderSource::user_data, "/home/ana/.local/share/tolvex/"},
      {"installed: XDG_DATA_HOME first", {"/usr/lib/tolvex", false, false, "", "/datos/xdg/", "/home/ana", "", posix},
       FolderSource::user_data, "/datos/xdg/tolvex/"},
      {"a relative XDG_DATA_HOME is ignored", {"/usr/lib/tolvex", false, false, "", "xdg", "/home/ana/", "", posix},
       FolderSource::user_data, "/home/ana/.local/share/tolvex/"},
      {"HOME at the root", {"/usr/lib/tolvex", false, false, "", "", "/", "", posix},
       FolderSource::user_data, "/.local/share/tolvex/"},
      {"a packaged install, even where root could write", {"/usr/lib/tolvex", true, true, "", "", "/root", "", posix},
       FolderSource::user_data, "/root/.local/share/tolvex/"},
      {"no usable HOME: no folder", {"/usr/lib/tolvex", false, false, "", "", "relative", "C:\\x", posix},
       FolderSource::user_data, ""},
      {"Windows portable", {"D:\\Tolvex", true, false, "", "", "", "C:\\Users\\ana\\AppData\\Local", windows},
       FolderSource::executable, "D:\\Tolvex\\"},
      {"Windows in Program Files", {"C:\\Program Files\\Tolvex", false, false, "", "/xdg", "/home", "C:\\Users\\ana\\AppData\\Local\\", windows},
       FolderSource::user_data, "C:\\Users\\ana\\AppData\\Local\\Tolvex\\"},
      {"Windows on a network share", {"C:\\Program Files\\Tolvex", false, false, "", "", "", "\\\\srv\\ana", windows},
       FolderSource::user_data, "\\\\srv\\ana\\Tolvex\\"},
      {"Windows --folder", {"C:\\Program Files\\Tolvex", false, false, "E:/vuelo", "", "", "C:\\L", windows},
       FolderSource::given, "E:/vuelo\\"},
      {"Windows without LOCALAPPDATA", {"C:\\Program Files\\Tolvex", false, false, "", "", "/home/ana", "Local", windows},
       FolderSource::user_data, ""},
  };
  for (const FolderCase& c : cases) {
    SCOPED_TRACE(c.name);
    const ProgramFolderChoice choice = choose_program_folder(c.in);
    EXPECT_EQ(choice.source, c.source);
    EXPECT_EQ(choice.folder, c.folder);
    if (*c.folder == '\0') {
      EXPECT_NE(choice.error.find("--folder"), std::string::npos) << choice.error;
    } else {
      EXPECT_EQ(choice.error, "");
    }
  }
}

TEST(PrepareProgramFolder, FirstStartMakesTheFolderAndACommentedConfigOnlyOnce) {
  TempFolder home;
  const std::string folder = home.path() + ".local/share/tolvex/";
  const ProgramFolderChoice choice{FolderSource::user_data, folder, ""};

  const auto lines = prepare_program_folder(choice, "/usr/lib/tolvex/", posix);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_NE(lines[0].find(folder), std::string::npos);
  EXPECT_NE(lines[0].find("/usr/lib/tolvex/"), std::string::npos);
  const std::string text = decode_text(home.read(".local/share/tolvex/CONFIG.INI"));  // Windows-1252 on Windows
  EXPECT_EQ(text.rfind("; Configuración de Tolvex de este usuario: " + folder + "CONFIG.INI\r\n", 0), 0u) << text;
  const Settings s = load_settings(IniFile(folder + "CONFIG.INI"), ',');
  EXPECT_EQ(s.link_kind, LinkKind::iocp);  // no FSUIPC outside Windows
  EXPECT_EQ(s.puerto, 8090);
  EXPECT_FALSE(s.debug);
  EXPECT_EQ(s.cons, "12,5");
#ifndef _WIN32
  const auto perms = std::filesystem::status(home.path() + ".local").permissions();
  EXPECT_EQ(perms & std::filesystem::perms::all, std::filesystem::perms::owner_all);
#endif

  // The pilot's own settings are never replaced.
  home.write(".local/share/tolvex/CONFIG.INI", "[INICIO]\nDEBUG=S\n");
  EXPECT_EQ(prepare_program_folder(choice, "/usr/lib/tolvex/", posix).size(), 1u);
  EXPECT_EQ(home.read(".local/share/tolvex/CONFIG.INI"), "[INICIO]\nDEBUG=S\n");
}

TEST(PrepareProgramFolder, OtherFoldersAreLeftAsTheyAre) {
  TempFolder folder;
  for (FolderSource source : {FolderSource::given, FolderSource::executable})
    EXPECT_TRUE(prepare_program_folder({source, folder.path(), ""}, folder.path(), posix).empty());
  EXPECT_EQ(folder.entry_count(), 0u);
}

TEST(PrepareProgramFolder, AFolderThatCannotBeMadeIsAnError) {
  TempFolder home;
  home.write("blocked", "a file where the folder should go");
  EXPECT_THROW(prepare_program_folder({FolderSource::user_data, home.path() + "blocked/tolvex/", ""}, "/x/", posix),
               std::runtime_error);
}

TEST(FolderIsWritable, ProbesForRealAndLeavesNothing) {
  TempFolder folder;
  EXPECT_TRUE(folder_is_writable(folder.path()));
  EXPECT_EQ(folder.entry_count(), 0u);
  EXPECT_FALSE(folder_is_writable(folder.path() + "missing/"));
  // A read-only folder, as an ordinary user meets /usr/lib/tolvex.
  const int result = test::run_unprivileged(
      [&](test::uid_t owner) {
        test::set_owner(folder.path(), owner);
        test::set_mode(folder.path(), 0555);
      },
      [&] { return folder_is_writable(folder.path()) ? 1 : 0; });
  if (result < 0) GTEST_SKIP() << "no unprivileged identity to test a read-only folder";
  EXPECT_EQ(result, 0);
}

}  // namespace
}  // namespace tolvex
