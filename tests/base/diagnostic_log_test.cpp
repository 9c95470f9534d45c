#include "base/diagnostic_log.h"

#include <gtest/gtest.h>

#include <string>

#include "support/temp_folder.h"
#include "base/text_file.h"

namespace tolvex {
namespace {

using test::TempFolder;

TEST(FormatLogLine, TwoDigitFieldsThenMessageThenCrLf) {
  const std::tuple<LocalDateTime, char, char, const char*> cases[] = {
      {{2024, 3, 5, 7, 8, 9}, '/', ':', "05/03/24 07:08:09 - Cerrando\r\n"},
      {{2000, 12, 31, 23, 59, 59}, '/', ':', "31/12/00 23:59:59 - Cerrando\r\n"},
      {{2031, 1, 1, 0, 0, 0}, '-', '.', "01-01-31 00.00.00 - Cerrando\r\n"},
  };
  for (const auto& [when, date_sep, time_sep, line] : cases) {
    EXPECT_EQ(format_log_line(when, "Cerrando", date_sep, time_sep), line);
  }
  EXPECT_EQ(format_log_line({2024, 3, 5, 7, 8, 9}, "Datos leidos del iocpserver:40,400 | -3,700 | 270"),
            "05/03/24 07:08:09 - Datos leidos del iocpserver:40,400 | -3,700 | 270\r\n");
}

TEST(SampleText, ThreeDecimalsInTheGivenSeparatorAndAWholeHeading) {
  EXPECT_EQ(sample_text(40.4, -3.7, 270, ','), "40,400 | -3,700 | 270");
  EXPECT_EQ(sample_text(40.4, -3.7, 270, '.'), "40.400 | -3.700 | 270");
  EXPECT_EQ(sample_text(-0.0004, 179.99951, 0, '.'), "0.000 | 180.000 | 0");
}

TEST(EscribirLog, CreatesThenAppendsOneLinePerCall) {
  TempFolder folder;
  EXPECT_TRUE(escribir_log(folder.path(), "1) Antes de conectar"));
  EXPECT_TRUE(escribir_log(folder.path(), "Excepci\xC3\xB3n: algo"));
  const std::string text = folder.read("tolvex.log");
  const auto lines = split_lines(text);
  ASSERT_EQ(lines.size(), 2u);
  // "dd/mm/yy hh:nn:ss" is 17 characters.
  EXPECT_EQ(lines[0].substr(17), " - 1) Antes de conectar");
  EXPECT_EQ(lines[1].substr(17), std::string(" - Excepci") +
                                     (platform_text_encoding() == TextEncoding::Utf8 ? "\xC3\xB3" : "\xF3") +
                                     "n: algo");
  EXPECT_EQ(lines[0][2], '/');
  EXPECT_EQ(lines[0][11], ':');
  EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
  EXPECT_EQ(text.find("\r\n"), 40u) << "CR LF after each line";
}

TEST(EscribirLog, UnwritableFolderReturnsFalseWithoutThrowing) {
  TempFolder folder;
  folder.write("plain", "p");
  EXPECT_FALSE(escribir_log(folder.file("plain/"), "Cerrando"));
  EXPECT_FALSE(escribir_log(folder.file("missing/"), "Cerrando"));
  EXPECT_FALSE(folder.exists("missing"));
}

// The log never grows past its limit: the full file becomes tolvex.log.1 (one old file kept).
TEST(EscribirLog, RotatesBeforeALineWouldPassTheLimit) {
  struct Case {
    std::uintmax_t log_bytes;  // what tolvex.log holds before the line
    bool old_file;             // a tolvex.log.1 is already there
    bool rotates;
  };
  const std::size_t line = format_log_line(local_now(), "Cerrando").size();
  const Case cases[] = {
      {0, false, false},
      {kLogRotateBytes - line, true, false},  // the line just fits
      {kLogRotateBytes - line + 1, false, true},
      {kLogRotateBytes - line + 1, true, true},  // the older file is replaced
      {kLogRotateBytes + 1000, true, true},      // a file that grew elsewhere
  };
  for (const Case& c : cases) {
    TempFolder folder;
    const std::string before(static_cast<std::size_t>(c.log_bytes), 'x');
    if (c.log_bytes) folder.write("tolvex.log", before);
    if (c.old_file) folder.write("tolvex.log.1", "older");
    ASSERT_TRUE(escribir_log(folder.path(), "Cerrando"));
    const std::string now = folder.read("tolvex.log");
    if (c.rotates) {
      EXPECT_EQ(now.size(), line) << c.log_bytes;
      EXPECT_TRUE(folder.read("tolvex.log.1") == before) << c.log_bytes;
    } else {
      EXPECT_EQ(now.size(), c.log_bytes + line);
      EXPECT_EQ(folder.exists("tolvex.log.1"), c.old_file);
    }
    EXPECT_LE(now.size(), kLogRotateBytes);
  }
}

TEST(LocalNow, GivesAPlausibleLocalTime) {
  const LocalDateTime now = local_now();
  EXPECT_GE(now.year, 2024);
  EXPECT_TRUE(now.month >= 1 && now.month <= 12);
  EXPECT_TRUE(now.day >= 1 && now.day <= 31);
  EXPECT_TRUE(now.hour >= 0 && now.hour <= 23);
}

}  // namespace
}  // namespace tolvex
