#include "simlink/iocp_protocol.h"

#include <charconv>
#include <cmath>
#include <stdexcept>
#include <string>

#include "base/outside_text.h"

namespace tolvex {
namespace {

std::runtime_error not_an_integer(std::string_view text) {
  return std::runtime_error("'" + quote_outside(text) + "' no es un valor entero válido");
}

std::runtime_error missing_variable(std::string_view variable) {
  return std::runtime_error("Respuesta del IOCP Server sin el valor de la variable " + std::string(variable));
}

// Decimal digits with an optional leading minus sign, within the 32-bit range; nothing else.
std::int32_t to_int32(std::string_view text) {
  std::string_view digits = text;
  if (!digits.empty() && digits.front() == '-') digits.remove_prefix(1);
  if (digits.empty()) throw not_an_integer(text);
  for (char c : digits)
    if (c < '0' || c > '9') throw not_an_integer(text);
  std::int32_t value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) throw not_an_integer(text);
  return value;
}

// From the first "NN=" in `text` to its end, and the value between "NN=" and the next colon.
struct Field {
  std::string_view from_marker;
  std::int32_t value;
};

Field take_field(std::string_view text, std::string_view variable) {
  const std::string marker = std::string(variable) + "=";
  const auto at = text.find(marker);
  // Without the marker the old client read whatever stood at the line's start; a line that
  // lacks the variable is better reported than misread.
  if (at == std::string_view::npos) throw missing_variable(variable);
  const std::string_view rest = text.substr(at);
  const auto colon = rest.find(':');
  if (colon == std::string_view::npos) throw missing_variable(variable);
  return {rest, to_int32(rest.substr(marker.size(), colon - marker.size()))};
}

}  // namespace

std::int32_t heading_from_hundredths(std::int32_t hundredths) {
  // Integer arithmetic gives the exact "#0" rounding of hundredths / 100.
  std::int32_t whole = hundredths / 100;
  const std::int32_t rest = hundredths % 100;
  if (rest >= 50) ++whole;
  if (rest <= -50) --whole;
  return whole;
}

double degrees_from_hundred_thousandths(std::int32_t value) { return value / 100000.0; }

double round_to_iocp_degrees(double degrees) {
  return degrees_from_hundred_thousandths(static_cast<std::int32_t>(std::llround(degrees * 1e5)));
}

std::int32_t round_to_iocp_heading(double degrees) {
  return heading_from_hundredths(static_cast<std::int32_t>(std::llround(degrees * 100)));
}

void parse_iocp_reply(std::string_view line, double& latitud, double& longitud, std::int32_t& heading) {
  const Field lat = take_field(line, "69");
  latitud = degrees_from_hundred_thousandths(lat.value);
  const Field lon = take_field(lat.from_marker, "70");
  longitud = degrees_from_hundred_thousandths(lon.value);
  const Field hdg = take_field(lon.from_marker, "79");
  heading = heading_from_hundredths(hdg.value);
}

bool is_keepalive(std::string_view line) {
  while (!line.empty() && static_cast<unsigned char>(line.back()) <= ' ') line.remove_suffix(1);
  while (!line.empty() && static_cast<unsigned char>(line.front()) <= ' ') line.remove_prefix(1);
  return line == kIocpKeepAlive;
}

void IocpLineFramer::feed(std::string_view bytes) {
  if (failed_) throw std::runtime_error("El IOCP Server envió una línea demasiado larga");
  while (!bytes.empty()) {
    const auto lf = bytes.find('\n');
    const std::string_view piece = bytes.substr(0, lf);
    // A CR may still be waiting for its LF, hence the one extra byte.
    if (pending_.size() + piece.size() > kMaxLineBytes + 1) {
      failed_ = true;
      pending_.clear();
      pending_.shrink_to_fit();
      throw std::runtime_error("El IOCP Server envió una línea demasiado larga (más de 64 KiB)");
    }
    pending_.append(piece);
    if (lf == std::string_view::npos) break;
    if (!pending_.empty() && pending_.back() == '\r') pending_.pop_back();
    push_line(std::move(pending_));
    pending_.clear();
    bytes.remove_prefix(lf + 1);
  }
}

void IocpLineFramer::push_line(std::string line) {
  if (line.size() > kMaxLineBytes) {
    failed_ = true;
    throw std::runtime_error("El IOCP Server envió una línea demasiado larga (más de 64 KiB)");
  }
  lines_.push_back(std::move(line));
}

std::optional<std::string> IocpLineFramer::next_line() {
  if (lines_.empty()) return std::nullopt;
  std::string line = std::move(lines_.front());
  lines_.pop_front();
  return line;
}

void IocpLineFramer::clear() {
  pending_.clear();
  lines_.clear();
  failed_ = false;
}

}  // namespace tolvex
