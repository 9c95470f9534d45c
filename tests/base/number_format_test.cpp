#include "base/number_format.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace tolvex {
namespace {

// Expected texts are written for the comma locale; the point locale swaps '.' and ','
// (decimal separator and thousands grouping change places).
std::string swap_separators(std::string text) {
  for (char& c : text) {
    if (c == ',') c = '.';
    else if (c == '.') c = ',';
  }
  return text;
}

struct PatternCase {
  double value;
  const char* pattern;
  const char* comma_text;
};

template <std::size_t N>
void expect_patterns(const PatternCase (&cases)[N]) {
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.pattern) + " of " + std::to_string(c.value));
    EXPECT_EQ(format_pattern(c.value, c.pattern, ','), c.comma_text);
    EXPECT_EQ(format_pattern(c.value, c.pattern, '.'), swap_separators(c.comma_text));
  }
}

TEST(FormatPattern, MatchesTableOnBothSeparators) {
  const PatternCase cases[] = {
      // Aircraft positions as the pages and the log show them.
      {40.41678, "#0.0000", "40,4168"},
      {40.41678, "#0.000", "40,417"},
      {-3.70379, "#0.0000", "-3,7038"},
      {-3.70379, "#0.000", "-3,704"},
      {40.4, "#0.000", "40,400"},
      {0.00004, "#0.0000", "0,0000"},
      // A negative that rounds to zero loses its sign; one that does not keeps it.
      {-0.00004, "#0.0000", "0,0000"},
      {-0.00006, "#0.0000", "-0,0001"},
      {-0.4, "#0", "0"},
      {-0.0, "#0.0", "0,0"},
      {359.6, "#0", "360"},
      {9.96, "#0.0", "10,0"},
      {99.9999, "#0.000", "100,000"},
      // Optional and forced digits.
      {0.5, "#.00", ",50"},
      {0.0, "#.00", ",00"},
      {12.5, "#.00", "12,50"},
      {5, "#00", "05"},
      {123, "#00", "123"},
      {7, "00", "07"},
      {-7, "00", "-07"},
      {0, "00", "00"},
      {0, "#0", "0"},
      {2147483647.4, "#0", "2147483647"},
      // Thousands grouping.
      {1234567.891, "#,##0", "1.234.568"},
      {999.5, "#,##0", "1.000"},
      {999.4, "#,##0", "999"},
      {-1234.5, "#,##0", "-1.235"},
      {0, "#,##0", "0"},
      {100000, "#,##0", "100.000"},
      {1e15, "#,##0", "1.000.000.000.000.000"},
      // Large values print every integer digit.
      {1e20, "#0", "100000000000000000000"},
      {123456789012.345, "#0.000", "123456789012,345"},
  };
  expect_patterns(cases);
}

// Halves are those of the number as written to 15 significant digits, whatever its binary
// value: 0.175 is stored as 0.17499999999999998..., 0.075 as 0.07499999999999999...
TEST(FormatPattern, RoundsWrittenHalvesAwayFromZero) {
  const PatternCase cases[] = {
      {0.125, "#0.00", "0,13"},  // an exact binary half
      {0.175, "#0.00", "0,18"},
      {0.075, "#0.00", "0,08"},
      {-0.175, "#0.00", "-0,18"},
      {21.0 / 120, "#0.00", "0,18"},  // a leg of 21 NM at 120 kt
      {0.425, "#0.00", "0,43"},
      {0.725, "#0.00", "0,73"},
      {2.675, "#.00", "2,68"},
      {1.005, "#.00", "1,01"},
      {-0.125, "#.00", "-,13"},
      {0.35, "#0.0", "0,4"},
      {0.25, "#0.0", "0,3"},
      {2.5, "#0", "3"},
      {-2.5, "#0", "-3"},
      {0.5, "#0", "1"},
      {40.41675, "#0.0000", "40,4168"},
      // Below the half in the 15th digit: down. Beyond it, the number reads as the half.
      {0.17499999999999, "#0.00", "0,17"},
      {0.49999999999999994, "#0", "1"},
      // Sixteen digits and more are not part of the written number.
      {1234567890123456789.0, "#0", "1234567890123460000"},
  };
  expect_patterns(cases);
}

struct GeneralCase {
  double value;
  const char* comma_text;
};

TEST(FormatGeneral, MatchesTableOnBothSeparators) {
  const GeneralCase cases[] = {
      {0, "0"},
      {-0.0, "0"},
      {40.370600, "40,3706"},
      {-3.70379, "-3,70379"},
      {100, "100"},
      {0.1, "0,1"},
      {0.1 + 0.2, "0,3"},
      {1.0 / 3, "0,333333333333333"},
      {2.0 / 3, "0,666666666666667"},
      {37.426015830209174, "37,4260158302092"},
      {-4.844970703125, "-4,844970703125"},
      // Exponent only below 0.00001 and from 1E15 up: Delphi style, no '+', no leading zeros.
      {0.00001, "0,00001"},
      {0.00009, "0,00009"},
      {1e-6, "1E-6"},
      {1.5e-7, "1,5E-7"},
      {-1.5e-7, "-1,5E-7"},
      {9.99999999999999e-6, "9,99999999999999E-6"},
      {1e-300, "1E-300"},
      {999999999999999.0, "999999999999999"},
      {1e15, "1E15"},
      {123456789012345678.0, "1,23456789012346E17"},
      // Rounding to 15 digits can carry into a new digit.
      {9.9999999999999999e14, "1E15"},
      {0.99999999999999999, "1"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.comma_text);
    EXPECT_EQ(format_general(c.value, ','), c.comma_text);
    EXPECT_EQ(format_general(c.value, '.'), swap_separators(c.comma_text));
  }
}

struct ParseCase {
  const char* text;
  std::optional<double> with_comma;  // parse_decimal(text, ',')
  std::optional<double> with_point;  // parse_decimal(text, '.')
  std::optional<double> any;         // parse_decimal_any(text)
};

TEST(ParseDecimal, AcceptsOnlyPlainDecimalNumbers) {
  const auto no = std::nullopt;
  const ParseCase cases[] = {
      {"2,5", 2.5, no, 2.5},
      {"2.5", no, 2.5, 2.5},
      {"  -12,25 ", -12.25, no, -12.25},
      {"+3", 3, 3, 3},
      {"10", 10, 10, 10},
      {",5", 0.5, no, 0.5},
      {"5,", 5, no, 5},
      {"-,5", -0.5, no, -0.5},
      {"", no, no, no},
      {"   ", no, no, no},
      {"-", no, no, no},
      {",", no, no, no},
      {"2,5,0", no, no, no},
      {"1,2.3", no, no, no},
      {"1.234,5", no, no, no},
      {"1e5", no, no, no},
      {"12a", no, no, no},
      {"--1", no, no, no},
      {"1 2", no, no, no},
      {"inf", no, no, no},
      {"nan", no, no, no},
      {"0x10", no, no, no},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string("\"") + c.text + "\"");
    EXPECT_EQ(parse_decimal(c.text, ','), c.with_comma);
    EXPECT_EQ(parse_decimal(c.text, '.'), c.with_point);
    EXPECT_EQ(parse_decimal_any(c.text), c.any);
  }
}

TEST(ParseInt32, AcceptsTheWhole32BitRangeAndNothingElse) {
  const std::pair<const char*, std::optional<std::int32_t>> cases[] = {
      {"12", 12},
      {" -5 ", -5},
      {"+7", 7},
      {"\t8090\r", 8090},
      {"2147483647", 2147483647},
      {"-2147483648", std::numeric_limits<std::int32_t>::min()},
      {"2147483648", std::nullopt},
      {"-2147483649", std::nullopt},
      {"+-7", std::nullopt},
      {"1.0", std::nullopt},
      {"1,0", std::nullopt},
      {"", std::nullopt},
      {"S", std::nullopt},
      {"12 3", std::nullopt},
  };
  for (const auto& [text, expected] : cases) {
    SCOPED_TRACE(text);
    EXPECT_EQ(parse_int32(text), expected);
  }
}

TEST(Trim, RemovesBlanksAndControlCharactersOnly) {
  EXPECT_EQ(trim(" \t\r\n a b \x01\x1f "), "a b");
  EXPECT_EQ(trim("   "), "");
  EXPECT_EQ(trim("\xC3\xB3"), "\xC3\xB3");  // bytes >= 0x80 are text, not blanks
}

}  // namespace
}  // namespace tolvex
