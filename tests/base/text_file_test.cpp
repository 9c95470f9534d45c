#include "base/text_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "support/temp_folder.h"

namespace tolvex {
namespace {

using test::TempFolder;

TEST(DecodeText, TakesValidUtf8AsIsElseWindows1252) {
  const std::pair<std::string, std::string> cases[] = {
      {"Conexion", "Conexion"},
      {"Conexi\xC3\xB3n", "Conexi\xC3\xB3n"},                    // UTF-8 stays
      {"\xEF\xBB\xBF[INICIO]", "[INICIO]"},                      // BOM dropped
      {"Conexi\xF3n", "Conexi\xC3\xB3n"},                        // Windows-1252 ó
      {"\x80 \x8A \x9F \x85", "\xE2\x82\xAC \xC5\xA0 \xC5\xB8 \xE2\x80\xA6"},  // € Š Ÿ …
      {"\x81\x8D\x8F\x90\x9D", "\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D"},  // unassigned bytes
      {"\xC0\xAF", "\xC3\x80\xC2\xAF"},                          // overlong form is not UTF-8
      {"\xED\xA0\x80", "\xC3\xAD\xC2\xA0\xE2\x82\xAC"},          // surrogate is not UTF-8
      {"ab\xC3", "ab\xC3\x83"},                                  // cut sequence
      {"\xF4\x90\x80\x80", "\xC3\xB4\xC2\x90\xE2\x82\xAC\xE2\x82\xAC"},  // above U+10FFFF
      {std::string("a\0b", 3), std::string("a\0b", 3)},
  };
  for (const auto& [bytes, text] : cases) {
    SCOPED_TRACE(bytes);
    EXPECT_EQ(decode_text(bytes), text);
  }
}

TEST(EncodeText, Windows1252CoversTheWholeCodePageAndMarksTheRest) {
  std::string every_byte;
  for (int b = 0; b < 256; ++b) every_byte.push_back(static_cast<char>(b));
  const std::string utf8 = decode_bytes(every_byte, TextEncoding::Windows1252);
  EXPECT_TRUE(is_utf8(utf8));
  EXPECT_EQ(encode_text(utf8, TextEncoding::Windows1252), every_byte);

  EXPECT_EQ(encode_text("Conexi\xC3\xB3n \xE2\x82\xAC", TextEncoding::Windows1252), "Conexi\xF3n \x80");
  EXPECT_EQ(encode_text("\xE2\x80\x9C" "a" "\xE2\x80\x9D", TextEncoding::Windows1252), "\x93" "a\x94");
  EXPECT_EQ(encode_text("\xE6\x97\xA5\xF0\x9F\x98\x80", TextEncoding::Windows1252), "??");  // 日 and an emoji
  EXPECT_EQ(encode_text("a\xFF" "b", TextEncoding::Windows1252), "a?b");                    // broken input
  EXPECT_EQ(encode_text("Conexi\xC3\xB3n", TextEncoding::Utf8), "Conexi\xC3\xB3n");
}

TEST(SplitLines, BreaksOnCrLfLfAndLoneCr) {
  using Lines = std::vector<std::string_view>;
  const std::pair<std::string, Lines> cases[] = {
      {"", {}},
      {"a", {"a"}},
      {"a\r\n", {"a"}},
      {"a\r\nb\nc\rd", {"a", "b", "c", "d"}},
      {"a\n\nb\n", {"a", "", "b"}},
      {"a\r\r\nb", {"a", "", "b"}},
      {"\n", {""}},
      {"a\n\r", {"a", ""}},
  };
  for (const auto& [text, lines] : cases) {
    SCOPED_TRACE(text);
    EXPECT_EQ(split_lines(text), lines);
  }
}

TEST(ReadFile, ReadsBytesAndDecodesAndRefusesMissingFiles) {
  TempFolder folder;
  folder.write("a.txt", std::string("\xEF\xBB\xBFhola\r\nadi\xC3\xB3s\0", 14));
  EXPECT_EQ(read_file_bytes(folder.file("a.txt")).size(), 14u);
  EXPECT_EQ(read_text_file(folder.file("a.txt")), std::string("hola\r\nadi\xC3\xB3s\0", 11));
  EXPECT_TRUE(file_exists(folder.file("a.txt")));
  EXPECT_FALSE(file_exists(folder.file("b.txt")));
  EXPECT_THROW(read_file_bytes(folder.file("b.txt")), std::runtime_error);
  EXPECT_THROW(read_file_bytes(folder.path()), std::runtime_error);  // a folder is not a file
}

TEST(WriteFileAtomically, CreatesAndReplacesLeavingNoTemporaryFile) {
  TempFolder folder;
  const std::string path = folder.file("CONFIG.INI");
  write_file_atomically(path, "uno");
  EXPECT_EQ(folder.read("CONFIG.INI"), "uno");
  test::set_mode(path, 0600);
  struct stat before {};
  ASSERT_EQ(::stat(path.c_str(), &before), 0);  // on Windows the mode shows only the read-only flag
  write_file_atomically(path, std::string("dos\0tres", 8));
  EXPECT_EQ(folder.read("CONFIG.INI"), std::string("dos\0tres", 8));
  write_file_atomically(path, "");
  EXPECT_EQ(folder.read("CONFIG.INI"), "");
  EXPECT_EQ(folder.entry_count(), 1u);
  struct stat st {};
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, before.st_mode & 0777) << "the replaced file keeps its permissions";
}

TEST(WriteFileAtomically, ThroughASymbolicLinkReplacesTheFileItPointsAt) {
  TempFolder folder;
  std::filesystem::create_directory(folder.file("real"));
  folder.write("real/CONFIG.INI", "viejo");
  std::error_code no_links;
  std::filesystem::create_symlink(folder.file("real/CONFIG.INI"), folder.file("CONFIG.INI"), no_links);
  if (no_links) GTEST_SKIP() << "this system makes no symbolic links: " << no_links.message();
  write_file_atomically(folder.file("CONFIG.INI"), "nuevo");
  EXPECT_TRUE(std::filesystem::is_symlink(folder.file("CONFIG.INI")));
  EXPECT_EQ(folder.read("real/CONFIG.INI"), "nuevo");
}

TEST(WriteFileAtomically, FailureThrowsNamesTheFileAndLeavesEverythingAsItWas) {
  TempFolder folder;
  // Renaming over a folder that holds a file fails after the temporary file was written.
  std::filesystem::create_directory(folder.file("sub"));
  folder.write("sub/keep", "x");
  const std::string busy = folder.file("sub");
  try {
    write_file_atomically(busy, "nuevo");
    FAIL() << "no error";
  } catch (const std::runtime_error& e) {
    EXPECT_EQ(std::string(e.what()), "No se ha podido escribir el fichero " + busy);
  }
  EXPECT_EQ(folder.read("sub/keep"), "x");
  EXPECT_EQ(folder.entry_count(), 1u) << "temporary file left behind";

  // A folder that cannot exist: its parent is a regular file.
  folder.write("plain", "p");
  EXPECT_THROW(write_file_atomically(folder.file("plain/CONFIG.INI"), "x"), std::runtime_error);
  EXPECT_EQ(folder.read("plain"), "p");
}

TEST(WriteFileAtomically, ReadOnlyFolderKeepsTheOldFile) {
  TempFolder folder;
  const std::string ro = folder.file("ro");
  const std::string path = ro + "/CONFIG.INI";
  const int result = test::run_unprivileged(
      [&](test::uid_t owner) {
        std::filesystem::create_directory(ro);
        folder.write("ro/CONFIG.INI", "viejo");
        test::set_mode(folder.path(), 0755);
        test::set_owner(ro, owner);
        test::set_owner(path, owner);
        test::set_mode(ro, 0555);
      },
      [&] {
        try {
          write_file_atomically(path, "nuevo");
          return 1;
        } catch (const std::runtime_error&) {
          return 0;
        }
      });
  if (result < 0) GTEST_SKIP() << "no unprivileged identity available to make a folder read-only";
  EXPECT_EQ(result, 0) << "writing into a read-only folder did not fail";
  EXPECT_EQ(folder.read("ro/CONFIG.INI"), "viejo");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(ro), std::filesystem::directory_iterator()), 1);
}

TEST(AppendToFile, CreatesAppendsAndReportsFailureWithoutThrowing) {
  TempFolder folder;
  const std::string path = folder.file("tolvex.log");
  EXPECT_TRUE(append_to_file(path, "a\r\n"));
  EXPECT_TRUE(append_to_file(path, "b\r\n"));
  EXPECT_EQ(folder.read("tolvex.log"), "a\r\nb\r\n");
  folder.write("plain", "p");
  EXPECT_FALSE(append_to_file(folder.file("plain/tolvex.log"), "x"));
  EXPECT_FALSE(append_to_file(folder.path(), "x"));  // a folder
}

TEST(DeleteFile, ReportsWhetherAFileWasRemoved) {
  TempFolder folder;
  folder.write("page.html", "x");
  EXPECT_TRUE(delete_file(folder.file("page.html")));
  EXPECT_FALSE(folder.exists("page.html"));
  EXPECT_FALSE(delete_file(folder.file("page.html")));
}

}  // namespace
}  // namespace tolvex
