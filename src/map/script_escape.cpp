#include "map/script_escape.h"

#include <charconv>
#include <cstdio>

#include "base/number_format.h"

namespace tolvex {
namespace {

// Every escape written here is valid both in a script string and in JSON, so quote_double
// also serves for JSON data inside a page.
std::string quote(std::string_view text, char quote_char) {
  std::string out;
  out.reserve(text.size() + 2);
  out += quote_char;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    const std::string_view rest = text.substr(i);
    if (c == quote_char || c == '\\') {
      out += '\\';
      out += c;
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c == '\t') {
      out += "\\t";
    } else if (static_cast<unsigned char>(c) < 0x20) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\u%04X", static_cast<unsigned>(c));
      out += buf;
    } else if (rest.starts_with("\xE2\x80\xA8")) {  // U+2028 ends a line in older script engines
      out += "\\u2028";
      i += 2;
    } else if (rest.starts_with("\xE2\x80\xA9")) {  // U+2029
      out += "\\u2029";
      i += 2;
    } else if (rest.starts_with("</")) {  // would close the <script> element
      out += "<\\/";
      i += 1;
    } else if (rest.starts_with("<!--")) {  // would switch the HTML parser's script state
      out += "\\u003C";
    } else if (rest.starts_with("##")) {  // no page placeholder may form inside a literal
      out += "#\\u0023";
      i += 1;
    } else if (rest.starts_with("]]>")) {  // would end the page's CDATA section
      out += "]]\\u003E";
      i += 2;
    } else {
      out += c;
    }
  }
  out += quote_char;
  return out;
}

bool is_blank(char c) { return c == ' ' || c == '\t'; }
bool is_digit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::string quote_single(std::string_view text) { return quote(text, '\''); }

std::string quote_double(std::string_view text) { return quote(text, '"'); }

std::string single_quoted_content(std::string_view text) {
  std::string q = quote_single(text);
  return q.substr(1, q.size() - 2);
}

bool is_plain_number(std::string_view text) {
  std::size_t i = 0;
  const std::size_t n = text.size();
  while (i < n && is_blank(text[i])) ++i;
  if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
  std::size_t digits = 0;
  while (i < n && is_digit(text[i])) ++i, ++digits;
  if (i < n && text[i] == '.') {
    ++i;
    while (i < n && is_digit(text[i])) ++i, ++digits;
  }
  if (digits == 0) return false;
  if (i < n && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
    std::size_t exponent_digits = 0;
    while (i < n && is_digit(text[i])) ++i, ++exponent_digits;
    if (exponent_digits == 0) return false;
  }
  while (i < n && is_blank(text[i])) ++i;
  return i == n;
}

std::optional<double> plain_number_value(std::string_view text) {
  if (!is_plain_number(text)) return std::nullopt;
  while (is_blank(text.front())) text.remove_prefix(1);
  while (is_blank(text.back())) text.remove_suffix(1);
  if (text.front() == '+') text.remove_prefix(1);
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (end != text.data() + text.size()) return std::nullopt;
  if (error == std::errc::result_out_of_range) {
    // Beyond a double's range: a negative exponent means a value too small to tell from 0.
    const auto e = text.find_first_of("eE");
    if (e != std::string_view::npos && text[e + 1] == '-') return 0.0;
    return std::nullopt;
  }
  if (error != std::errc()) return std::nullopt;
  return value;
}

std::string script_number(double value) {
  std::string text = format_general(value, '.');
  return is_plain_number(text) ? text : std::string();
}

std::string html_attribute(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&#39;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '#': out += "&#35;"; break;
      case '\r': out += "&#13;"; break;
      case '\n': out += "&#10;"; break;
      default: out += c;
    }
  }
  return out;
}

}  // namespace tolvex
