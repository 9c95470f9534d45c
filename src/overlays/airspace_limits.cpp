#include "overlays/airspace_limits.h"

#include <charconv>
#include <cmath>
#include <initializer_list>
#include <optional>
#include <vector>

#include "base/number_format.h"

namespace tolvex {

namespace {

bool is_alpha(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool is_digit(char c) { return c >= '0' && c <= '9'; }

// Words and numbers, upper case: "1001ft MSL" -> "1001", "FT", "MSL"; "FL95" -> "FL", "95".
std::vector<std::string> tokens(std::string_view text) {
  std::vector<std::string> out;
  std::size_t i = 0;
  while (i < text.size()) {
    const char c = text[i];
    if (is_alpha(c)) {
      std::string word;
      while (i < text.size() && is_alpha(text[i])) word += static_cast<char>(text[i++] & ~0x20);
      out.push_back(std::move(word));
    } else if (is_digit(c)) {
      std::string number;
      while (i < text.size() && (is_digit(text[i]) || text[i] == '.')) number += text[i++];
      out.push_back(std::move(number));
    } else if (c == ' ' || c == '\t') {
      ++i;
    } else {
      out.push_back(std::string(1, c));  // anything else makes the limit unreadable
      ++i;
    }
  }
  return out;
}

bool one_of(const std::string& word, std::initializer_list<std::string_view> words) {
  for (std::string_view w : words)
    if (word == w) return true;
  return false;
}

std::optional<double> number(const std::string& token) {
  if (token.empty() || !is_digit(token.front())) return std::nullopt;
  double value = 0;
  const auto [end, error] = std::from_chars(token.data(), token.data() + token.size(), value);
  if (error != std::errc() || end != token.data() + token.size() || !std::isfinite(value)) return std::nullopt;
  return value;
}

std::string whole(double value) {
  char buffer[32];
  const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed,
                                          value == std::floor(value) ? 0 : 1);
  return error == std::errc() ? std::string(buffer, end) : std::string();
}

}  // namespace

LimiteVertical leer_limite(std::string_view text) {
  LimiteVertical limit;
  limit.texto = std::string(trim(text));
  const std::vector<std::string> t = tokens(limit.texto);
  if (t.empty()) return limit;
  using R = ReferenciaLimite;
  if (t.size() == 1 && one_of(t[0], {"GND", "SFC", "SURFACE", "GROUND"})) {
    limit.referencia = R::Superficie;
    return limit;
  }
  if (t.size() == 1 && one_of(t[0], {"UNL", "UNLIM", "UNLIMITED"})) {
    limit.referencia = R::Ilimitado;
    return limit;
  }
  if (t.size() == 2 && t[0] == "FL") {
    if (const auto level = number(t[1]); level && *level <= 1000) {
      limit.referencia = R::NivelVuelo;
      limit.valor = *level;
    }
    return limit;
  }
  const auto value = number(t[0]);
  if (!value || *value > 1e6) return limit;
  std::size_t i = 1;
  bool metres = false;
  if (i < t.size() && one_of(t[i], {"FT", "F", "FEET"})) {
    ++i;
  } else if (i < t.size() && one_of(t[i], {"M", "MTR", "METER", "METERS", "METRE", "METRES"})) {
    metres = true;
    ++i;
  }
  R reference = R::SobreMar;  // a height alone is above mean sea level
  if (i < t.size()) {
    if (one_of(t[i], {"MSL", "AMSL", "ALT"})) reference = R::SobreMar;
    else if (one_of(t[i], {"AGL", "GND", "SFC", "ASFC", "AAL"})) reference = R::SobreTerreno;
    else if (t[i] == "STD") reference = R::Estandar;
    else return limit;
    ++i;
  }
  if (i != t.size()) return limit;
  // Zero above the ground is the ground itself.
  limit.referencia = (*value == 0 && reference == R::SobreTerreno) ? R::Superficie : reference;
  limit.valor = *value;
  limit.metros = metres;
  return limit;
}

std::string LimiteVertical::mostrado() const {
  using R = ReferenciaLimite;
  const std::string unit = metros ? " m" : " ft";
  switch (referencia) {
    case R::Superficie: return "SFC";
    case R::Ilimitado: return "UNL";
    case R::NivelVuelo: return "FL " + whole(valor);
    case R::SobreMar: return whole(valor) + unit + " AMSL";
    case R::SobreTerreno: return whole(valor) + unit + " AGL";
    case R::Estandar: return whole(valor) + unit + " STD";
    case R::Ilegible: break;
  }
  return texto;
}

}  // namespace tolvex
