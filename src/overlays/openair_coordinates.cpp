#include "overlays/openair_coordinates.h"

#include <charconv>
#include <cmath>

namespace tolvex {

namespace {

bool is_blank(char c) { return c == ' ' || c == '\t'; }
bool is_digit(char c) { return c >= '0' && c <= '9'; }

void skip_blanks(std::string_view text, std::size_t& at) {
  while (at < text.size() && is_blank(text[at])) ++at;
}

// Unsigned digits with an optional fraction; no sign, no exponent.
std::optional<double> read_number(std::string_view text, std::size_t& at, bool fraction_allowed, bool* had_fraction) {
  const std::size_t start = at;
  while (at < text.size() && is_digit(text[at])) ++at;
  if (at == start) return std::nullopt;
  if (at < text.size() && text[at] == '.') {
    if (!fraction_allowed) return std::nullopt;
    ++at;
    while (at < text.size() && is_digit(text[at])) ++at;  // "31." is written for 31
    if (had_fraction) *had_fraction = true;
  }
  double value = 0;
  const auto [end, error] = std::from_chars(text.data() + start, text.data() + at, value);
  if (error != std::errc() || (end != text.data() + at && end + 1 != text.data() + at)) return std::nullopt;
  return value;
}

// One "D:M[:S]" value and its hemisphere letter, positive or negative by the letter.
std::optional<double> read_angle(std::string_view text, std::size_t& at, char positive, char negative, double limit) {
  skip_blanks(text, at);
  const auto degrees = read_number(text, at, false, nullptr);
  if (!degrees || at >= text.size() || text[at] != ':') return std::nullopt;
  ++at;
  bool minutes_fraction = false;
  const auto minutes = read_number(text, at, true, &minutes_fraction);
  // 60 minutes or seconds: a rounding that published files do hold ("42:32:60.0N").
  if (!minutes || *minutes > 60) return std::nullopt;
  double seconds = 0;
  if (at < text.size() && text[at] == ':') {
    if (minutes_fraction) return std::nullopt;  // 12:30.5:10 is no coordinate
    ++at;
    const auto s = read_number(text, at, true, nullptr);
    if (!s || *s > 60) return std::nullopt;
    seconds = *s;
  }
  skip_blanks(text, at);
  if (at >= text.size()) return std::nullopt;
  const char letter = static_cast<char>(text[at] & ~0x20);  // upper case
  if (letter != positive && letter != negative) return std::nullopt;
  ++at;
  const double value = *degrees + *minutes / 60.0 + seconds / 3600.0;
  if (!(value <= limit)) return std::nullopt;
  return letter == positive ? value : -value;
}

}  // namespace

std::optional<PuntoGeo> leer_punto_openair(std::string_view text) {
  std::size_t at = 0;
  const auto lat = read_angle(text, at, 'N', 'S', 90.0);
  if (!lat) return std::nullopt;
  if (at < text.size() && text[at] == ',') ++at;  // "N, 015:14:37 E" is written too
  const auto lon = read_angle(text, at, 'E', 'W', 180.0);
  if (!lon) return std::nullopt;
  skip_blanks(text, at);
  if (at != text.size()) return std::nullopt;
  return PuntoGeo{*lat, *lon};
}

}  // namespace tolvex
