// Numbers read from files and settings (INTERVALO, PUERTO, coordinates) and numbers written
// into pages and for the pilot. A text read as a number gives a finite value that the other
// readers agree on; any double formatted with every pattern and the general form gives only
// digits, sign and separators, and reads back within the rounding of its form; the general
// form with a point is always a number a page statement may carry.
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

#include "base/number_format.h"
#include "fuzz_support.h"
#include "map/script_escape.h"

namespace {

using namespace tolvex;

constexpr std::string_view kPatterns[] = {"#0.0000", "#0.000", "#.00", "#0.0", "#00", "00", "#0", "#,##0"};

int decimals_of(std::string_view pattern) {
  const auto point = pattern.find('.');
  return point == std::string_view::npos ? 0 : static_cast<int>(pattern.size() - point - 1);
}

void check_formats(double value) {
  for (const char separator : {',', '.'}) {
    const char group = separator == ',' ? '.' : ',';
    for (std::string_view pattern : kPatterns) {
      const std::string text = format_pattern(value, pattern, separator);
      if (!std::isfinite(value)) continue;
      std::string plain;
      for (char c : text) {
        FUZZ_CHECK((c >= '0' && c <= '9') || c == '-' || c == separator || (c == group && pattern == "#,##0"));
        if (c != group || pattern != "#,##0") plain += c;
      }
      if (plain.empty()) continue;  // "#.00" writes nothing for a zero
      // Fifteen digits of the largest doubles round beyond a double's range: those are read
      // with a wider one.
      long double back = 0;
      if (const auto read = parse_decimal(plain, separator)) {
        back = *read;
      } else {
        FUZZ_CHECK(std::fabs(value) > 1.797693134862315e308);
        for (char& c : plain)
          if (c == separator) c = '.';
        back = std::strtold(plain.c_str(), nullptr);
      }
      const double step = std::pow(10.0, -decimals_of(pattern));
      // Half a step of the pattern, plus half a unit of the 15th digit the value is first
      // written to (at most 5e-15 of it) and the reading's own rounding.
      FUZZ_CHECK(std::fabs(back - value) <= step / 2 + std::fabs(value) * 1e-14L);
    }
    const std::string general = format_general(value, separator);
    if (!std::isfinite(value)) continue;
    std::string with_point = general;
    for (char& c : with_point)
      if (c == separator) c = '.';
    FUZZ_CHECK(is_plain_number(with_point));
    // Read with a wider range: fifteen digits of the largest doubles round beyond a double's.
    const long double back = std::strtold(with_point.c_str(), nullptr);
    FUZZ_CHECK(std::fabs(back - value) <= std::fabs(value) * 1e-14L);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text = tolvex::fuzz::as_text(data, size);

  const auto integer = parse_int32(text);
  const auto comma = parse_decimal(text, ',');
  const auto point = parse_decimal(text, '.');
  const auto any = parse_decimal_any(text);
  for (const auto& value : {comma, point, any}) {
    if (value) {
      FUZZ_CHECK(std::isfinite(*value));
      check_formats(*value);
    }
  }
  if (comma && point) FUZZ_CHECK(*comma == *point);
  if (any) FUZZ_CHECK(any == comma || any == point);
  if (integer) {
    FUZZ_CHECK(point && *point == *integer);
    FUZZ_CHECK(parse_int32(std::to_string(*integer)) == integer);
  }
  if (point && !integer && text.find_first_of(".,") == std::string_view::npos)
    FUZZ_CHECK(std::fabs(*point) > 2147483647.0);

  // Every bit pattern of a double, NaN, infinities and subnormals included.
  if (size >= sizeof(double)) {
    double value;
    std::memcpy(&value, data, sizeof value);
    check_formats(value);
  }
  return 0;
}
