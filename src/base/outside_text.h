#pragma once
// Text that comes from outside (a server's reply, a line of a file, a service's answer) quoted in
// a message or a log line. One bad reply must not fill a message box or the log.
#include <cstddef>
#include <string>
#include <string_view>

namespace tolvex {

inline constexpr std::size_t kQuotedOutsideChars = 200;

// At most `max_chars` characters of `text` (UTF-8; a byte that starts no valid sequence counts as
// one), then "…" when something was cut. Control characters (line breaks, tabs, escapes, C1) become
// blanks, so a quote never starts a line of its own in the log.
std::string quote_outside(std::string_view text, std::size_t max_chars = kQuotedOutsideChars);

}  // namespace tolvex
