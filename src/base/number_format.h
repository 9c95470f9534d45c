#pragma once
// The one place that turns numbers into text and back. The decimal separator is always an
// argument: pages get '.', the pilot and the log get the locale's.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tolvex {

// Delphi-style patterns: "#0.0000", "#0.000", "#.00", "#0.0", "#00", "00", "#0", "#,##0".
// The value is first written to 15 significant digits, as a person writes it, and that decimal
// text is rounded, halves away from zero: 0.175 gives 0,18 with "#0.00", although its binary
// value lies just below the half. '#' digits are optional, '0' digits are forced, ',' in the
// integer part asks for thousands grouping (grouping character '.' when decimal_separator is
// ',' and ',' otherwise). A negative number whose rounded text is all zeros keeps no minus sign.
std::string format_pattern(double value, std::string_view pattern, char decimal_separator);

// General form: 15 significant digits, trailing zeros dropped, exponent only below 0.00001
// or from 1E15 up in magnitude ("1E-6", "1,5E-7", "1E15": no '+', no leading zeros),
// decimal separator as given. 0 gives "0".
std::string format_general(double value, char decimal_separator);

// Whole text must be a decimal number (optional sign, digits, at most one separator,
// blanks around allowed): "2,5", "-3", ",5", "5,". No grouping, no exponent, nothing else.
std::optional<double> parse_decimal(std::string_view text, char decimal_separator);

// Accepts either '.' or ',' as the decimal separator (never both).
std::optional<double> parse_decimal_any(std::string_view text);

// Whole text must be a 32-bit signed decimal integer (optional sign, blanks around allowed).
std::optional<std::int32_t> parse_int32(std::string_view text);

// Blanks and control characters (code 32 or less) removed at both ends.
std::string_view trim(std::string_view text);

}  // namespace tolvex
