#include "base/number_format.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <system_error>

namespace tolvex {
namespace {

// The exact decimal expansion of |value|: all its digits, no leading zeros except a single
// "0" for values below one, and where the decimal point goes (digits before it).
struct ExactDecimal {
  std::string digits;   // e.g. "012500" for 0.0125 written as "0" + fraction "012500"
  std::size_t int_len;  // digits before the decimal point
};

ExactDecimal exact_decimal(double magnitude) {
  // A double is m * 2^(e-53) with m < 2^53; its fraction needs at most 53 - e decimal digits,
  // so this precision prints every digit of the binary value and rounds none away.
  int exponent = 0;
  std::frexp(magnitude, &exponent);
  int precision = 53 - exponent;
  if (precision < 0) precision = 0;
  if (precision > 1100) precision = 1100;
  char buffer[1500];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::fixed, precision);
  std::string_view text(buffer, result.ec == std::errc() ? static_cast<std::size_t>(result.ptr - buffer) : 0);
  ExactDecimal out;
  const auto point = text.find('.');
  if (point == std::string_view::npos) {
    out.digits = std::string(text);
    out.int_len = text.size();
  } else {
    out.digits = std::string(text.substr(0, point));
    out.int_len = point;
    out.digits.append(text.substr(point + 1));
  }
  return out;
}

// Rounds a digit string to `keep` digits, halves (and more) away from zero: the digits are
// exact, so looking at the first dropped digit decides correctly. Returns true on a carry
// out of the leftmost digit (the caller then prepends a '1').
bool round_digits(std::string& digits, std::size_t keep) {
  if (keep >= digits.size()) {
    digits.append(keep - digits.size(), '0');
    return false;
  }
  const bool up = digits[keep] >= '5';
  digits.resize(keep);
  if (!up) return false;
  for (std::size_t i = keep; i-- > 0;) {
    if (digits[i] == '9') {
      digits[i] = '0';
    } else {
      ++digits[i];
      return false;
    }
  }
  return true;
}

constexpr std::size_t kSignificant = 15;

// |value| as a person writes it: its exact expansion rounded to 15 significant digits. A
// binary value just below a decimal half (0.175 is 0.17499999999999998...) is then that half,
// so the patterns round the number the pilot reads, not its binary neighbour.
ExactDecimal written_decimal(double magnitude) {
  ExactDecimal d = exact_decimal(magnitude);
  const auto first = d.digits.find_first_not_of('0');
  if (first == std::string::npos || first + kSignificant >= d.digits.size()) return d;
  if (round_digits(d.digits, first + kSignificant)) {
    d.digits.insert(d.digits.begin(), '1');
    ++d.int_len;
  }
  if (d.digits.size() < d.int_len) d.digits.append(d.int_len - d.digits.size(), '0');
  return d;
}

struct Pattern {
  int min_int = 0;        // '0' placeholders before the point
  bool grouping = false;  // ',' among them
  int min_frac = 0;       // decimals always written (up to the last '0' after the point)
  int max_frac = 0;       // decimals at most ('0' and '#' after the point)
  bool has_point = false;
};

Pattern parse_pattern(std::string_view pattern) {
  Pattern p;
  bool after_point = false;
  int frac_pos = 0;
  for (char c : pattern) {
    if (c == '.') {
      if (after_point) break;
      after_point = true;
      p.has_point = true;
      continue;
    }
    if (!after_point) {
      if (c == '0') ++p.min_int;
      else if (c == ',') p.grouping = true;
    } else if (c == '0' || c == '#') {
      ++frac_pos;
      p.max_frac = frac_pos;
      if (c == '0') p.min_frac = frac_pos;
    }
  }
  return p;
}

std::string non_finite(double value) {
  if (std::isnan(value)) return "NAN";
  return value < 0 ? "-INF" : "INF";
}

}  // namespace

std::string format_pattern(double value, std::string_view pattern, char decimal_separator) {
  if (!std::isfinite(value)) return non_finite(value);
  const Pattern p = parse_pattern(pattern);
  ExactDecimal written = written_decimal(std::fabs(value));

  std::string digits = std::move(written.digits);
  std::size_t int_len = written.int_len;
  if (round_digits(digits, int_len + static_cast<std::size_t>(p.max_frac))) {
    digits.insert(digits.begin(), '1');
    ++int_len;
  }
  std::string int_part = digits.substr(0, int_len);
  std::string frac_part = digits.substr(int_len);

  const auto first_nonzero = int_part.find_first_not_of('0');
  int_part = first_nonzero == std::string::npos ? std::string() : int_part.substr(first_nonzero);
  if (int_part.size() < static_cast<std::size_t>(p.min_int))
    int_part.insert(0, static_cast<std::size_t>(p.min_int) - int_part.size(), '0');
  while (frac_part.size() > static_cast<std::size_t>(p.min_frac) && frac_part.back() == '0') frac_part.pop_back();

  if (p.grouping && int_part.size() > 3) {
    const char group = decimal_separator == ',' ? '.' : ',';
    std::string grouped;
    grouped.reserve(int_part.size() + int_part.size() / 3);
    const std::size_t lead = int_part.size() % 3;
    for (std::size_t i = 0; i < int_part.size(); ++i) {
      if (i != 0 && (i - lead) % 3 == 0) grouped.push_back(group);
      grouped.push_back(int_part[i]);
    }
    int_part = std::move(grouped);
  }

  const bool all_zero = digits.find_first_not_of('0') == std::string::npos;
  std::string out;
  if (value < 0 && !all_zero) out.push_back('-');
  out += int_part;
  if (!frac_part.empty()) {
    out.push_back(decimal_separator);
    out += frac_part;
  }
  return out;
}

std::string format_general(double value, char decimal_separator) {
  if (!std::isfinite(value)) return non_finite(value);
  if (value == 0) return "0";
  const ExactDecimal written = written_decimal(std::fabs(value));
  const auto first = written.digits.find_first_not_of('0');
  std::string digits = written.digits.substr(first);
  // value = 0.d1 d2 ... * 10^point, point counted from the first significant digit.
  const long point = static_cast<long>(written.int_len) - static_cast<long>(first);
  while (!digits.empty() && digits.back() == '0') digits.pop_back();

  std::string out;
  if (value < 0) out.push_back('-');
  const long sci_exponent = point - 1;  // value = d1.d2... * 10^sci_exponent
  if (sci_exponent >= static_cast<long>(kSignificant) || sci_exponent < -5) {
    out.push_back(digits[0]);
    if (digits.size() > 1) {
      out.push_back(decimal_separator);
      out.append(digits, 1);
    }
    out.push_back('E');
    out += std::to_string(sci_exponent);
    return out;
  }
  if (point <= 0) {
    out.push_back('0');
    out.push_back(decimal_separator);
    out.append(static_cast<std::size_t>(-point), '0');
    out += digits;
  } else if (static_cast<std::size_t>(point) >= digits.size()) {
    out += digits;
    out.append(static_cast<std::size_t>(point) - digits.size(), '0');
  } else {
    out.append(digits, 0, static_cast<std::size_t>(point));
    out.push_back(decimal_separator);
    out.append(digits, static_cast<std::size_t>(point));
  }
  return out;
}

std::string_view trim(std::string_view text) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && static_cast<unsigned char>(text[begin]) <= 32) ++begin;
  while (end > begin && static_cast<unsigned char>(text[end - 1]) <= 32) --end;
  return text.substr(begin, end - begin);
}

std::optional<double> parse_decimal(std::string_view text, char decimal_separator) {
  text = trim(text);
  std::string normal;
  normal.reserve(text.size());
  std::size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    if (text[i] == '-') normal.push_back('-');
    ++i;
  }
  bool seen_separator = false;
  bool seen_digit = false;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (c >= '0' && c <= '9') {
      seen_digit = true;
      normal.push_back(c);
    } else if (c == decimal_separator && !seen_separator) {
      seen_separator = true;
      normal.push_back('.');
    } else {
      return std::nullopt;
    }
  }
  if (!seen_digit) return std::nullopt;
  // from_chars wants a digit before the point.
  if (normal.front() == '.' || (normal.size() > 1 && normal[0] == '-' && normal[1] == '.'))
    normal.insert(normal.front() == '-' ? 1 : 0, 1, '0');
  double value = 0;
  const auto result = std::from_chars(normal.data(), normal.data() + normal.size(), value, std::chars_format::fixed);
  if (result.ec != std::errc() || result.ptr != normal.data() + normal.size()) return std::nullopt;
  return value;
}

std::optional<double> parse_decimal_any(std::string_view text) {
  const bool has_point = text.find('.') != std::string_view::npos;
  const bool has_comma = text.find(',') != std::string_view::npos;
  if (has_point && has_comma) return std::nullopt;
  return parse_decimal(text, has_comma ? ',' : '.');
}

std::optional<std::int32_t> parse_int32(std::string_view text) {
  text = trim(text);
  if (!text.empty() && text.front() == '+') {
    text.remove_prefix(1);
    if (!text.empty() && text.front() == '-') return std::nullopt;
  }
  std::int32_t value = 0;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value, 10);
  if (result.ec != std::errc() || result.ptr != text.data() + text.size()) return std::nullopt;
  return value;
}

}  // namespace tolvex
