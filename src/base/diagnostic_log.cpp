#include "base/diagnostic_log.h"

#include <ctime>

#include "base/number_format.h"
#include "base/text_file.h"

namespace tolvex {
namespace {

void two_digits(std::string& out, int value) {
  value = ((value % 100) + 100) % 100;
  out.push_back(static_cast<char>('0' + value / 10));
  out.push_back(static_cast<char>('0' + value % 10));
}

}  // namespace

std::string format_log_line(const LocalDateTime& when, std::string_view message, char date_separator,
                            char time_separator) {
  std::string line;
  line.reserve(message.size() + 24);
  two_digits(line, when.day);
  line.push_back(date_separator);
  two_digits(line, when.month);
  line.push_back(date_separator);
  two_digits(line, when.year);
  line.push_back(' ');
  two_digits(line, when.hour);
  line.push_back(time_separator);
  two_digits(line, when.minute);
  line.push_back(time_separator);
  two_digits(line, when.second);
  line += " - ";
  line += message;
  line += "\r\n";
  return line;
}

LocalDateTime local_now() {
  const std::time_t now = std::time(nullptr);
  std::tm parts{};
#ifdef _WIN32
  localtime_s(&parts, &now);
#else
  localtime_r(&now, &parts);
#endif
  return LocalDateTime{parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday,
                       parts.tm_hour,        parts.tm_min,     parts.tm_sec};
}

bool escribir_log(const std::string& program_folder, std::string_view message) {
  try {
    const std::string bytes = encode_text(format_log_line(local_now(), message), platform_text_encoding());
    const std::string path = program_folder + "tolvex.log";
    // With DEBUG on at ten polls a second the log grows by about 150 MB a day. A rename that
    // fails (the old file held open elsewhere) is tried again at the next line.
    if (file_size_or_zero(path) + bytes.size() > kLogRotateBytes) rename_replacing(path, path + ".1");
    return append_to_file(path, bytes);
  } catch (...) {
    // The log is only a diagnostic aid: it must never raise into the error handler that logs.
    return false;
  }
}

std::string sample_text(double latitud, double longitud, int heading, char decimal_separator) {
  return format_pattern(latitud, "#0.000", decimal_separator) + " | " +
         format_pattern(longitud, "#0.000", decimal_separator) + " | " + std::to_string(heading);
}

}  // namespace tolvex
