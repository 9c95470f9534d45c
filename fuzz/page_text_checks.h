#pragma once
// Checks on text that a file turned into page statements: it can never end a line, close the
// script element or open an HTML comment, and its string literals are closed where they should be.
#include <string_view>

namespace tolvex::fuzz {

inline bool safe_in_page(std::string_view statement) {
  for (std::string_view bad : {"\n", "\r", "</", "<!--", "]]>", "##", "\xE2\x80\xA8", "\xE2\x80\xA9"})
    if (statement.find(bad) != std::string_view::npos) return false;
  return true;
}

// Index just after the quoted literal that starts at `at` (backslash escapes the next
// character), or npos when there is none there or it is not closed.
inline std::size_t after_literal(std::string_view text, std::size_t at, char quote) {
  if (at >= text.size() || text[at] != quote) return std::string_view::npos;
  for (std::size_t i = at + 1; i < text.size(); ++i) {
    if (text[i] == '\\') ++i;
    else if (text[i] == quote) return i + 1;
  }
  return std::string_view::npos;
}

}  // namespace tolvex::fuzz
