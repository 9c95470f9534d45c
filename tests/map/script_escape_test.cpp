#include "map/script_escape.h"

#include <gtest/gtest.h>

#include <optional>

#include "map/script_literal.h"

namespace tolvex {
namespace {

struct EscapeCase {
  const char* text;
  const char* single;
  const char* double_;
};

const EscapeCase escape_cases[] = {
    {"", "''", "\"\""},
    {"LEMD", "'LEMD'", "\"LEMD\""},
    {"l'Hospitalet", "'l\\'Hospitalet'", "\"l'Hospitalet\""},
    {"say \"hi\"", "'say \"hi\"'", "\"say \\\"hi\\\"\""},
    {"C:\\vuelos\\", "'C:\\\\vuelos\\\\'", "\"C:\\\\vuelos\\\\\""},
    {"a\r\nb", "'a\\r\\nb'", "\"a\\r\\nb\""},
    {"a\tb\x01", "'a\\tb\\u0001'", "\"a\\tb\\u0001\""},
    {"</script><script>x()</script>", "'<\\/script><script>x()<\\/script>'",
     "\"<\\/script><script>x()<\\/script>\""},
    {"x\xE2\x80\xA8y\xE2\x80\xA9", "'x\\u2028y\\u2029'", "\"x\\u2028y\\u2029\""},
    {"<!--<script>", "'\\u003C!--<script>'", "\"\\u003C!--<script>\""},
    {"]]>", "']]\\u003E'", "\"]]\\u003E\""},
    {"##LT##", "'#\\u0023LT#\\u0023'", "\"#\\u0023LT#\\u0023\""},
    {"#000000", "'#000000'", "\"#000000\""},
    {"Cuatro Vientos ñ á", "'Cuatro Vientos ñ á'", "\"Cuatro Vientos ñ á\""},
};

TEST(ScriptEscape, ExactLiterals) {
  for (const EscapeCase& c : escape_cases) {
    EXPECT_EQ(quote_single(c.text), c.single) << c.text;
    EXPECT_EQ(quote_double(c.text), c.double_) << c.text;
  }
}

TEST(ScriptEscape, LiteralsReadBackToTheOriginalText) {
  const std::string nasty[] = {
      "'); alert(1); ('",
      "\"); alert(1); (\"",
      "\\'); alert(1); //",
      "line1\nline2\r\n\xE2\x80\xA8line3",
      "</SCRIPT></script ><!-- ]]> ##RUTADIN## ###",
      "tab\there\x7F",
  };
  for (const std::string& text : nasty) {
    for (const std::string& lit : {quote_single(text), quote_double(text)}) {
      EXPECT_EQ(test::read_literal(lit), text) << lit;
      EXPECT_EQ(lit.find("</"), std::string::npos) << lit;
      EXPECT_EQ(lit.find("##"), std::string::npos) << lit;
    }
  }
}

TEST(ScriptEscape, PlainNumbers) {
  const auto no = std::nullopt;
  struct Case {
    const char* text;
    bool plain;
    std::optional<double> value;  // plain_number_value
  };
  const Case cases[] = {
      {"1", true, 1},          {"0.5", true, 0.5},      {" 40.4168", true, 40.4168}, {"-3.7038 ", true, -3.7038},
      {"+2", true, 2},         {".5", true, 0.5},       {"5.", true, 5},             {"1e-6", true, 1e-6},
      {"1E+3", true, 1000},    {"\t7\t", true, 7},      {"", false, no},             {" ", false, no},
      {"-", false, no},        {".", false, no},        {"0,5", false, no},          {"1.2.3", false, no},
      {"1e", false, no},       {"e5", false, no},       {"0x10", false, no},         {"NaN", false, no},
      {"Infinity", false, no}, {"1);alert(1);//", false, no}, {"1\n", false, no},   {"1\r", false, no},
      {"- 1", false, no},      {"1 2", false, no},
      // Written as numbers, but beyond a double: too large is no value, too small is 0.
      {"1e999", true, no},     {"-1e999", true, no},    {"1e-999", true, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(is_plain_number(c.text), c.plain) << '[' << c.text << ']';
    EXPECT_EQ(plain_number_value(c.text), c.value) << '[' << c.text << ']';
  }
}

}  // namespace
}  // namespace tolvex
