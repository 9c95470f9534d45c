// Outside text quoted in messages and log lines: cut, never split inside a character.
#include "base/outside_text.h"

#include <gtest/gtest.h>

#include <string>

namespace tolvex {
namespace {

TEST(QuoteOutside, CutsToTheLimitAndNeutralisesControls) {
  const std::string ellipsis = "\xE2\x80\xA6";
  const std::string n_tilde = "\xC3\xB1";  // "ñ": two bytes, one character
  struct Case {
    std::string text;
    std::size_t limit;
    std::string quoted;
  };
  const Case cases[] = {
      {"69=4047123:", 200, "69=4047123:"},
      {"", 200, ""},
      {std::string(200, 'a'), 200, std::string(200, 'a')},
      {std::string(201, 'a'), 200, std::string(200, 'a') + ellipsis},
      {std::string(60000, '9'), 200, std::string(200, '9') + ellipsis},
      {"ab" + n_tilde + "cd", 3, "ab" + n_tilde + ellipsis},
      {"a\r\nb\tc\x1b" "d\x7f", 200, "a  b c d "},
      {"x\xC2\x85y", 200, "x y"},                  // NEL, a C1 line break
      {"\xFF\xFE" "ab", 3, "\xFF\xFE" "a" + ellipsis},  // stray bytes count one each
      {"\xE2\x82", 200, "\xE2\x82"},               // a sequence cut short at the end
  };
  for (const Case& c : cases) EXPECT_EQ(quote_outside(c.text, c.limit), c.quoted) << c.text.substr(0, 20);
  EXPECT_EQ(quote_outside(std::string(300, 'z')), std::string(kQuotedOutsideChars, 'z') + ellipsis);
}

}  // namespace
}  // namespace tolvex
