#pragma once
// tolvex.log: one time-stamped line per notable step, only when DEBUG is on (callers check).
#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

namespace tolvex {

struct LocalDateTime {
  int year, month, day, hour, minute, second;
};

// "dd/mm/yy hh:nn:ss - message" + CR LF, with the locale's date and time separators.
std::string format_log_line(const LocalDateTime& when, std::string_view message,
                            char date_separator = '/', char time_separator = ':');

LocalDateTime local_now();

// tolvex.log is renamed tolvex.log.1 (replacing the older one) before a line would take it past
// this size, so the two files hold at most about twice that.
inline constexpr std::uintmax_t kLogRotateBytes = 5u * 1024u * 1024u;

// Appends one line to <folder>tolvex.log (opened and closed for this line), rotating it first
// when it is full. A log that cannot be written is dropped silently: returns false, never throws.
bool escribir_log(const std::string& program_folder, std::string_view message);

// "40,400 | -3,700 | 270": the sample text of the poll log lines.
std::string sample_text(double latitud, double longitud, int heading, char decimal_separator);

}  // namespace tolvex
