#pragma once
// Test helper: reads back a quoted script/JSON literal the way a script engine would, for the
// escapes our helpers write. Returns nullopt for anything a script engine would reject.
#include <optional>
#include <string>
#include <string_view>

namespace tolvex::test {

inline void append_utf8(std::string& out, unsigned cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

inline std::optional<std::string> read_literal(std::string_view lit) {
  if (lit.size() < 2 || (lit.front() != '\'' && lit.front() != '"') || lit.back() != lit.front()) return std::nullopt;
  const char q = lit.front();
  std::string out;
  for (std::size_t i = 1; i + 1 < lit.size(); ++i) {
    const char c = lit[i];
    if (c == q || c == '\r' || c == '\n') return std::nullopt;  // ends the literal or breaks it
    if (std::string_view(lit).substr(i).starts_with("\xE2\x80\xA8") ||
        std::string_view(lit).substr(i).starts_with("\xE2\x80\xA9"))
      return std::nullopt;
    if (c != '\\') {
      out += c;
      continue;
    }
    if (i + 2 >= lit.size()) return std::nullopt;
    const char e = lit[++i];
    switch (e) {
      case 'n': out += '\n'; break;
      case 'r': out += '\r'; break;
      case 't': out += '\t'; break;
      case 'u': {
        if (i + 4 >= lit.size()) return std::nullopt;
        unsigned cp = std::stoul(std::string(lit.substr(i + 1, 4)), nullptr, 16);
        append_utf8(out, cp);
        i += 4;
        break;
      }
      case '\\': case '\'': case '"': case '/': out += e; break;
      default: return std::nullopt;
    }
  }
  return out;
}

// The quoted literal that starts at text[pos] (a quote), up to its closing quote.
inline std::string_view literal_at(std::string_view text, std::size_t pos) {
  if (pos >= text.size()) return {};
  const char q = text[pos];
  for (std::size_t i = pos + 1; i < text.size(); ++i) {
    if (text[i] == '\\') ++i;
    else if (text[i] == q) return text.substr(pos, i + 1 - pos);
  }
  return text.substr(pos);
}

}  // namespace tolvex::test
