#include "base/ini_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <stdexcept>
#include <string>

#include "support/temp_folder.h"

namespace tolvex {
namespace {

using test::TempFolder;
using namespace std::string_literals;

struct ReadCase {
  const char* section;
  const char* key;
  std::string expected;  // "<def>" when the default must come back
};

void expect_reads(const IniFile& ini, std::initializer_list<ReadCase> cases) {
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.section) + "/" + c.key);
    EXPECT_EQ(ini.read_string(c.section, c.key, "<def>"), c.expected);
    EXPECT_EQ(ini.has_key(c.section, c.key), c.expected != "<def>");
  }
}

TEST(IniFileRead, FollowsProfileRules) {
  const std::string text =
      "SUELTA=antes de toda seccion\r\n"
      "; comentario\r\n"
      "[INICIO]\r\n"
      "  size  =  3  \r\n"
      "DirIP= 10.0.0.7\r\n"
      ";PUERTO=1\r\n"
      "linea sin igual\r\n"
      "VACIA=\r\n"
      "COMILLAS=\"  con blancos  \"\r\n"
      "SIMPLES='x'\r\n"
      "IGUALES=a=b=c\r\n"
      "SIZE=9\r\n"
      "[ RUTA ]\r\n"
      "ANCHO=6\r\n"
      "[roto\r\n"
      "COLOR=2\r\n"
      "[inicio]\r\n"
      "DEBUG=S\r\n"
      "[]\r\n"
      "X=1\r\n";
  const auto ini = IniFile::from_text("CONFIG.INI", text);
  expect_reads(ini, {
                        {"INICIO", "SIZE", "3"},  // first of two, blanks trimmed, case-insensitive
                        {"inicio", "dirip", "10.0.0.7"},
                        {"INICIO", "PUERTO", "<def>"},  // commented out
                        {"INICIO", "linea sin igual", "<def>"},
                        {"INICIO", "VACIA", ""},
                        {"INICIO", "COMILLAS", "  con blancos  "},
                        {"INICIO", "SIMPLES", "x"},
                        {"INICIO", "IGUALES", "a=b=c"},
                        {"INICIO", "SUELTA", "<def>"},
                        {"INICIO", "DEBUG", "<def>"},  // only the first [INICIO] counts
                        {"RUTA", "ANCHO", "6"},
                        {"RUTA", "COLOR", "2"},  // "[roto" has no ']' and opens no section
                        {"roto", "COLOR", "<def>"},
                        {"RUTADIN", "ANCHO", "<def>"},
                    });
  EXPECT_EQ(ini.read_integer("INICIO", "SIZE", 7), 3);
  EXPECT_EQ(ini.read_integer("INICIO", "DIRIP", 7), 7);
  EXPECT_EQ(ini.read_integer("INICIO", "VACIA", 7), 7);
  EXPECT_EQ(ini.read_integer("INICIO", "NADA", 7), 7);
  EXPECT_FALSE(ini.dirty());
}

TEST(IniFileRead, SurvivesHostileBytes) {
  const std::string long_value(1 << 20, 'x');
  std::string text = "\xEF\xBB\xBF[INICIO]\rA=1\nB=2\r\n\x01\x02\xFF\xFE garbage \0\0 [\r\n"s;
  text += "LARGA=" + long_value + "\n";
  text += "N\0UL=v\0w\r"s;
  text += "[RUTA]\r\r\n\nANCHO=5";  // no final line break
  const auto ini = IniFile::from_text("CONFIG.INI", text);
  // Not valid UTF-8 (0xFF 0xFE), so values come back converted from Windows-1252.
  expect_reads(ini, {
                        {"INICIO", "A", "1"},
                        {"INICIO", "B", "2"},
                        {"INICIO", "LARGA", long_value},
                        {"INICIO", "N\0UL"s.c_str(), "<def>"},
                        {"RUTA", "ANCHO", "5"},
                    });
  EXPECT_EQ(ini.read_string("INICIO", "N\0UL"s, ""), "v\0w"s);
  EXPECT_EQ(IniFile::from_text("x", "").read_string("A", "B", "d"), "d");
  EXPECT_EQ(IniFile::from_text("x", "\xEF\xBB\xBF").read_string("A", "B", "d"), "d");
  EXPECT_EQ(IniFile::from_text("x", "K=V\n").read_string("", "K", "d"), "d");  // no section
}

TEST(IniFileRead, ValuesComeBackAsUtf8WhateverTheFileEncoding) {
  const auto cp1252 = IniFile::from_text("x", "[INICIO]\r\nDIRIP=Conexi\xF3n \x80\r\n");
  EXPECT_EQ(cp1252.read_string("INICIO", "DIRIP", ""), "Conexi\xC3\xB3n \xE2\x82\xAC");
  const auto utf8 = IniFile::from_text("x", "\xEF\xBB\xBF[INICIO]\r\nDIRIP=Conexi\xC3\xB3n\r\n");
  EXPECT_EQ(utf8.read_string("INICIO", "DIRIP", ""), "Conexi\xC3\xB3n");
  const auto bom_then_cp1252 = IniFile::from_text("x", "\xEF\xBB\xBF[INICIO]\r\nDIRIP=Conexi\xF3n\r\n");
  EXPECT_EQ(bom_then_cp1252.read_string("INICIO", "DIRIP", ""), "Conexi\xC3\xB3n");
}

// Every write below must change exactly the bytes it names; the rest of the file is compared
// byte for byte.
struct WriteCase {
  const char* name;
  std::string before;
  std::function<void(IniFile&)> edit;
  std::string after;
};

TEST(IniFileWrite, ChangesOnlyTheLinesItMust) {
  const std::string junk = "\x01\xFF\xFE\0;x\r"s;
  const WriteCase cases[] = {
      {"replace keeps its CR LF and every other byte",
       "; c\r\n[INICIO]\r\nOTRA=1\r\n  sonidos = N \r\n" + junk + "\n[RUTA]\nX=1",
       [](IniFile& i) { i.write_string("INICIO", "SONIDOS", "S"); },
       "; c\r\n[INICIO]\r\nOTRA=1\r\nSONIDOS=S\r\n" + junk + "\n[RUTA]\nX=1"},
      {"replace keeps a LF and a lone CR",
       "[A]\nK=1\rL=2\n",
       [](IniFile& i) {
         i.write_string("A", "K", "11");
         i.write_string("A", "L", "22");
       },
       "[A]\nK=11\rL=22\n"},
      {"replace of an unterminated last line adds no break",
       "[A]\r\nK=1",
       [](IniFile& i) { i.write_string("A", "K", "2"); },
       "[A]\r\nK=2"},
      {"only the first of repeated sections and keys",
       "[A]\r\nK=1\r\nK=2\r\n[a]\r\nK=3\r\n",
       [](IniFile& i) { i.write_string("A", "K", "9"); },
       "[A]\r\nK=9\r\nK=2\r\n[a]\r\nK=3\r\n"},
      {"new key after the section's last key, before blank lines and comments",
       "[A]\r\nK=1\r\n; nota\r\n\r\n[B]\r\nZ=0\r\n",
       [](IniFile& i) { i.write_string("A", "NUEVA", "x"); },
       "[A]\r\nK=1\r\nNUEVA=x\r\n; nota\r\n\r\n[B]\r\nZ=0\r\n"},
      {"new key in a section without keys goes under its header",
       "[A]\n\n[B]\n",
       [](IniFile& i) { i.write_string("A", "K", "v"); },
       "[A]\nK=v\n\n[B]\n"},
      {"new key after an unterminated last line",
       "[A]\nK=1",
       [](IniFile& i) { i.write_string("A", "L", "2"); },
       "[A]\nK=1\nL=2"},
      {"new key into the first of repeated sections",
       "[A]\r\nK=1\r\n[B]\r\n[A]\r\nM=1\r\n",
       [](IniFile& i) { i.write_string("a", "L", "2"); },
       "[A]\r\nK=1\r\nL=2\r\n[B]\r\n[A]\r\nM=1\r\n"},
      {"a new key in a file of lone CRs does not swallow the blank line after it",
       "[A]\rK=1\r\n\n;c\r",
       [](IniFile& i) { i.write_string("A", "L", "2"); },
       "[A]\rK=1\r\nL=2\r\n\n;c\r"},
      {"new section at the end with the file's line ending",
       "[A]\nK=1\n",
       [](IniFile& i) { i.write_string("RUTA", "VIS", "N"); },
       "[A]\nK=1\n[RUTA]\nVIS=N\n"},
      {"new section after an unterminated last line",
       "; solo\r\nx",
       [](IniFile& i) { i.write_string("RUTA", "VIS", "N"); },
       "; solo\r\nx\r\n[RUTA]\r\nVIS=N\r\n"},
      {"new file uses CR LF and keeps a BOM",
       "\xEF\xBB\xBF",
       [](IniFile& i) {
         i.write_string("INICIO", "TIPOMAPA", "N");
         i.write_integer("INICIO", "SIZE", -2);
       },
       "\xEF\xBB\xBF[INICIO]\r\nTIPOMAPA=N\r\nSIZE=-2\r\n"},
      {"a BOM before the first section stays",
       "\xEF\xBB\xBF[A]\r\nK=1\r\n",
       [](IniFile& i) {
         i.write_string("A", "K", "2");
         i.write_string("A", "L", "3");
       },
       "\xEF\xBB\xBF[A]\r\nK=2\r\nL=3\r\n"},
      {"keys stay out of the part before the first section",
       "K=0\r\n",
       [](IniFile& i) { i.write_string("A", "K", "1"); },
       "K=0\r\n[A]\r\nK=1\r\n"},
      {"delete removes the line with its ending",
       "[A]\r\nK=1\r\nXPLANE=S\nL=2\r\n",
       [](IniFile& i) { i.delete_key("a", "xplane"); },
       "[A]\r\nK=1\r\nL=2\r\n"},
      {"delete removes a repeated key's every line, so no old value comes back",
       "[A]\nXPLANE=S\nK=1\nxplane=N\n[B]\nXPLANE=S\n",
       [](IniFile& i) { i.delete_key("A", "XPLANE"); },
       "[A]\nK=1\n[B]\nXPLANE=S\n"},
      {"delete between a lone CR and a blank line keeps the blank line",
       "[A]\r\rK=1\n\nL=2\r",
       [](IniFile& i) { i.delete_key("A", "K"); },
       "[A]\r\r\n\nL=2\r"},
      {"delete of a missing key or section changes nothing",
       "[A]\r\nK=1\r\n",
       [](IniFile& i) {
         i.delete_key("A", "Z");
         i.delete_key("B", "K");
       },
       "[A]\r\nK=1\r\n"},
      {"a value in quotes gets one more pair, so it reads back with its own",
       "[A]\r\nK=1\r\n",
       [](IniFile& i) {
         i.write_string("A", "K", "\"x\"");
         i.write_string("A", "L", "''");
       },
       "[A]\r\nK=\"\"x\"\"\r\nL=''''\r\n"},
      {"a line break inside a value cannot add a line",
       "[A]\r\nK=1\r\n",
       [](IniFile& i) { i.write_string("A", "K", "x\r\n[B]\nY=1"); },
       "[A]\r\nK=x  [B] Y=1\r\n"},
      {"a value written in a Windows-1252 file is Windows-1252",
       "[A]\r\nK=\xF3\r\n",
       [](IniFile& i) { i.write_string("A", "L", "\xC3\x91" "and\xC3\xBA \xE2\x82\xAC"); },
       "[A]\r\nK=\xF3\r\nL=\xD1" "and\xFA \x80\r\n"},
      {"a Windows-1252 file that an edit leaves valid UTF-8 turns UTF-8 with the same text",
       "[A]\r\nK=\xC3\xB1\r\nL=\xF3\r\n",
       [](IniFile& i) { i.delete_key("A", "L"); },
       "[A]\r\nK=\xC3\x83\xC2\xB1\r\n"},
      {"a value written in a UTF-8 file is UTF-8",
       "[A]\r\nK=\xC3\xB3\r\n",
       [](IniFile& i) { i.write_string("A", "L", "\xC3\x91"); },
       "[A]\r\nK=\xC3\xB3\r\nL=\xC3\x91\r\n"},
      {"a 1 MB line and NUL bytes survive an edit elsewhere",
       "[A]\n" + std::string(1 << 20, '\xE9') + "\nK=1\n\0\0\n"s,
       [](IniFile& i) { i.write_string("A", "K", "2"); },
       "[A]\n" + std::string(1 << 20, '\xE9') + "\nK=2\n\0\0\n"s},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto ini = IniFile::from_text("CONFIG.INI", c.before);
    c.edit(ini);
    EXPECT_EQ(ini.bytes(), c.after);
    EXPECT_EQ(ini.dirty(), c.before != c.after);
  }
}

TEST(IniFileWrite, EditsAreReadBackAndWritingTheSameLineIsNoChange) {
  auto ini = IniFile::from_text("x", "[A]\r\nK=1\r\n");
  ini.write_string("A", "K", "1");
  EXPECT_FALSE(ini.dirty());
  ini.write_string("A", "NEW", "n");
  ini.write_string("B", "M", "m");
  ini.write_string("A", "K", "2");
  EXPECT_EQ(ini.read_string("A", "K", ""), "2");
  EXPECT_EQ(ini.read_string("A", "NEW", ""), "n");
  EXPECT_EQ(ini.read_string("B", "M", ""), "m");
  ini.delete_key("A", "NEW");
  EXPECT_FALSE(ini.has_key("A", "NEW"));
  EXPECT_EQ(ini.read_string("B", "M", ""), "m");
}

TEST(IniFileDisk, FlushWritesOnceOnlyWhenSomethingChanged) {
  TempFolder folder;
  const std::string path = folder.file("CONFIG.INI");
  {
    IniFile ini(path);
    EXPECT_EQ(ini.read_string("INICIO", "SIZE", "0"), "0");
    ini.flush();
    EXPECT_FALSE(folder.exists("CONFIG.INI")) << "nothing is created until a write";
    ini.write_string("INICIO", "SIZE", "1");
    EXPECT_FALSE(folder.exists("CONFIG.INI")) << "writes wait for flush";
    ini.flush();
    EXPECT_FALSE(ini.dirty());
  }
  EXPECT_EQ(folder.read("CONFIG.INI"), "[INICIO]\r\nSIZE=1\r\n");

  const std::string original = "; a mano\n[INICIO]\nSIZE=1\nDEBUG=S\n\xFF\n";
  folder.write("CONFIG.INI", original);
  struct stat before {};
  ::stat(path.c_str(), &before);
  {
    IniFile ini(path);
    EXPECT_EQ(ini.bytes(), original);
    ini.write_string("INICIO", "SIZE", "1");
    ini.flush();
  }
  struct stat after {};
  ::stat(path.c_str(), &after);
  EXPECT_EQ(before.st_ino, after.st_ino) << "an unchanged file was rewritten";
  {
    IniFile ini(path);
    ini.write_string("INICIO", "SIZE", "2");
    ini.flush();
  }
  EXPECT_EQ(folder.read("CONFIG.INI"), "; a mano\n[INICIO]\nSIZE=2\nDEBUG=S\n\xFF\n");
  EXPECT_EQ(folder.entry_count(), 1u);
}

TEST(IniFileDisk, AFileThatCouldNotBeReadIsNeverOverwritten) {
  TempFolder folder;
  // A folder where the file should be: it exists but cannot be read as a file.
  std::filesystem::create_directory(folder.file("CONFIG.INI"));
  folder.write("CONFIG.INI/dentro", "x");
  IniFile ini(folder.file("CONFIG.INI"));
  EXPECT_FALSE(ini.can_save());
  EXPECT_EQ(ini.read_string("INICIO", "SIZE", "0"), "0");
  ini.write_string("INICIO", "SIZE", "1");
  try {
    ini.flush();
    FAIL() << "no error";
  } catch (const std::runtime_error& e) {
    EXPECT_NE(std::string(e.what()).find("No se ha podido escribir el fichero " + folder.file("CONFIG.INI")),
              std::string::npos);
  }
  EXPECT_EQ(folder.read("CONFIG.INI/dentro"), "x");
}

TEST(IniFileDisk, FlushIntoAFolderThatCannotBeWrittenThrowsAndKeepsTheFile) {
  TempFolder folder;
  folder.write("plain", "p");
  IniFile nowhere(folder.file("plain/CONFIG.INI"));  // parent is a regular file
  nowhere.write_string("INICIO", "SIZE", "1");
  EXPECT_THROW(nowhere.flush(), std::runtime_error);
  EXPECT_TRUE(nowhere.dirty());

  const std::string ro = folder.file("ro");
  const std::string path = ro + "/CONFIG.INI";
  const int result = test::run_unprivileged(
      [&](test::uid_t owner) {
        std::filesystem::create_directory(ro);
        folder.write("ro/CONFIG.INI", "[INICIO]\r\nSIZE=0\r\n");
        test::set_mode(folder.path(), 0755);
        test::set_owner(ro, owner);
        test::set_owner(path, owner);
        test::set_mode(ro, 0555);
      },
      [&] {
        IniFile ini(path);
        if (!ini.can_save()) return 2;
        ini.write_string("INICIO", "SIZE", "3");
        try {
          ini.flush();
          return 1;
        } catch (const std::runtime_error&) {
          return 0;
        }
      });
  if (result < 0) GTEST_SKIP() << "no unprivileged identity available to make a folder read-only";
  EXPECT_EQ(result, 0) << "1: flush did not fail, 2: the file could not be read";
  EXPECT_EQ(folder.read("ro/CONFIG.INI"), "[INICIO]\r\nSIZE=0\r\n");
}

}  // namespace
}  // namespace tolvex
