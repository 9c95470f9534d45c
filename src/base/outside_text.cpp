#include "base/outside_text.h"

namespace tolvex {
namespace {

// Length of the UTF-8 sequence at `at`, or 1 for a byte that starts none.
std::size_t sequence_length(std::string_view text, std::size_t at) {
  const auto lead = static_cast<unsigned char>(text[at]);
  const std::size_t length = lead >= 0xF0 && lead <= 0xF4 ? 4
                             : lead >= 0xE0 && lead < 0xF0 ? 3
                             : lead >= 0xC2 && lead < 0xE0 ? 2
                                                            : 1;
  if (length == 1 || at + length > text.size()) return 1;
  for (std::size_t i = 1; i < length; ++i)
    if ((static_cast<unsigned char>(text[at + i]) & 0xC0) != 0x80) return 1;
  return length;
}

}  // namespace

std::string quote_outside(std::string_view text, std::size_t max_chars) {
  std::string out;
  out.reserve(text.size() < max_chars * 2 ? text.size() : max_chars * 2);
  std::size_t chars = 0;
  for (std::size_t at = 0; at < text.size(); ++chars) {
    if (chars == max_chars) {
      out += "\xE2\x80\xA6";  // "…"
      break;
    }
    const std::size_t length = sequence_length(text, at);
    const auto byte = static_cast<unsigned char>(text[at]);
    const bool c1_control = length == 2 && byte == 0xC2 && static_cast<unsigned char>(text[at + 1]) < 0xA0;
    if ((length == 1 && (byte < 0x20 || byte == 0x7F)) || c1_control)
      out.push_back(' ');
    else
      out.append(text.substr(at, length));
    at += length;
  }
  return out;
}

}  // namespace tolvex
