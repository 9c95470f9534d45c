#include "simlink/xgps_protocol.h"

#include <charconv>
#include <cmath>

#include "simlink/iocp_protocol.h"

namespace tolvex {
namespace {

constexpr std::string_view kXgpsPrefix = "XGPS";
constexpr std::string_view kXattPrefix = "XATT";
// Prefix word plus the numbers each message needs.
constexpr std::size_t kXgpsWords = 6;
constexpr std::size_t kXattWords = 4;

std::string_view trim_blanks(std::string_view s) {
  while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ') s.remove_prefix(1);
  while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ') s.remove_suffix(1);
  return s;
}

// The first `wanted` comma-separated words (fewer when the datagram has fewer), and whether
// more follow.
struct Words {
  std::array<std::string_view, kXgpsWords> word;
  std::size_t count = 0;
  bool more = false;
};

Words split_words(std::string_view text, std::size_t wanted) {
  Words words;
  for (;;) {
    const auto comma = text.find(',');
    words.word[words.count++] = trim_blanks(text.substr(0, comma));
    if (comma == std::string_view::npos) break;
    if (words.count == wanted) {
      words.more = true;
      break;
    }
    text.remove_prefix(comma + 1);
  }
  return words;
}

// A finite decimal number with a point: optional sign, digits, optional fraction and exponent.
std::optional<double> to_number(std::string_view word) {
  if (!word.empty() && word.front() == '+') word.remove_prefix(1);
  if (word.empty()) return std::nullopt;
  double value = 0;
  const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
  if (error != std::errc() || end != word.data() + word.size() || !std::isfinite(value)) return std::nullopt;
  return value;
}

// A direction in degrees, -360..360, as 0..360 (a negative one is taken modulo 360).
std::optional<double> to_direction(double degrees) {
  if (degrees < -360 || degrees > 360) return std::nullopt;
  return degrees < 0 ? degrees + 360 : degrees;
}

// Converts words 1..n of a message, or says why they do not make one.
template <std::size_t N>
std::variant<std::array<double, N>, XgpsRejection> numbers_of(const Words& words) {
  if (words.count < N + 1) return XgpsRejection::missing_words;
  std::array<double, N> values{};
  for (std::size_t i = 0; i < N; ++i) {
    const auto value = to_number(words.word[i + 1]);
    if (!value) return XgpsRejection::not_a_number;
    values[i] = *value;
  }
  return values;
}

XgpsMessage parse_fix(const Words& words) {
  auto numbers = numbers_of<5>(words);
  if (auto* rejection = std::get_if<XgpsRejection>(&numbers)) return *rejection;
  if (words.more) return XgpsRejection::extra_words;
  const auto& v = std::get<std::array<double, 5>>(numbers);
  XgpsFix fix{v[0], v[1], v[2], v[3], v[4]};
  const auto track = to_direction(fix.track_deg);
  if (std::abs(fix.longitude) > 180 || std::abs(fix.latitude) > 90 || !track || fix.ground_speed_ms < 0)
    return XgpsRejection::out_of_range;
  fix.track_deg = *track;
  return fix;
}

XgpsMessage parse_attitude(const Words& words) {
  auto numbers = numbers_of<3>(words);
  if (auto* rejection = std::get_if<XgpsRejection>(&numbers)) return *rejection;
  const auto& v = std::get<std::array<double, 3>>(numbers);
  XattAttitude attitude{v[0], v[1], v[2]};
  const auto heading = to_direction(attitude.heading_deg);
  if (!heading || std::abs(attitude.pitch_deg) > 90 || std::abs(attitude.roll_deg) > 180)
    return XgpsRejection::out_of_range;
  attitude.heading_deg = *heading;
  return attitude;
}

std::string seconds_text(std::int64_t ms) { return std::to_string(ms / 1000) + " s"; }

}  // namespace

XgpsMessage parse_xgps_datagram(std::string_view datagram) {
  if (datagram.size() > kXgpsMaxDatagramBytes) return XgpsRejection::too_long;
  const std::string_view text = trim_blanks(datagram);
  if (text.starts_with(kXgpsPrefix)) return parse_fix(split_words(text, kXgpsWords));
  if (text.starts_with(kXattPrefix)) return parse_attitude(split_words(text, kXattWords));
  return XgpsRejection::unknown_prefix;
}

std::int64_t XgpsCounters::total_ignored() const {
  std::int64_t total = 0;
  for (const std::int64_t n : ignored) total += n;
  return total;
}

std::int64_t XgpsCounters::invalid() const {
  return total_ignored() - ignored[static_cast<std::size_t>(XgpsRejection::other_sender)];
}

std::string ignored_summary(const XgpsCounters& c) {
  static constexpr const char* kNames[kXgpsRejectionKinds] = {
      "prefijo desconocido", "faltan datos", "sobran datos", "no numéricos",
      "fuera de rango", "demasiado largos", "de otro emisor"};
  std::string text = "Mensajes de red ignorados: " + std::to_string(c.total_ignored()) + " (";
  for (std::size_t i = 0; i < kXgpsRejectionKinds; ++i) {
    if (i) text += ", ";
    text += std::string(kNames[i]) + " " + std::to_string(c.ignored[i]);
  }
  return text + ")";
}

std::string silence_message(const XgpsSilence& silence, std::int32_t port) {
  const std::string where = "al puerto UDP " + std::to_string(port);
  std::string text =
      silence.fix_age_ms
          ? "No llegan posiciones del simulador (XGPS) " + where + " desde hace " + seconds_text(*silence.fix_age_ms) +
                ". Compruebe que el simulador sigue en marcha y enviándolas a este equipo."
          : "No llegan posiciones del simulador (XGPS) " + where +
                ". Compruebe que el simulador las envía a la dirección de este equipo.";
  if (silence.ignored_since_fix > 0)
    text += " Se han recibido " + std::to_string(silence.ignored_since_fix) + " mensajes no válidos.";
  return text;
}

void XgpsReceiver::receive(std::string_view datagram, std::int64_t now_ms, std::string_view sender) {
  if (sender_ && *sender_ != sender && now_ms - sender_heard_at_ms_ <= kXgpsFreshMs) {
    ++counters_.ignored[static_cast<std::size_t>(XgpsRejection::other_sender)];
    return;
  }
  const XgpsMessage message = parse_xgps_datagram(datagram);
  if (!std::holds_alternative<XgpsRejection>(message)) {
    // The followed sender went silent (or none was followed yet): this one takes over.
    sender_ = std::string(sender);
    sender_heard_at_ms_ = now_ms;
  }
  if (const auto* fix = std::get_if<XgpsFix>(&message)) {
    fix_ = *fix;
    fix_at_ms_ = now_ms;
    ++counters_.fixes;
    ignored_at_fix_ = counters_.invalid();
  } else if (const auto* attitude = std::get_if<XattAttitude>(&message)) {
    attitude_ = *attitude;
    attitude_at_ms_ = now_ms;
    ++counters_.attitudes;
  } else {
    ++counters_.ignored[static_cast<std::size_t>(std::get<XgpsRejection>(message))];
  }
}

void XgpsReceiver::receive_oversized() { ++counters_.ignored[static_cast<std::size_t>(XgpsRejection::too_long)]; }

std::variant<XgpsSample, XgpsSilence> XgpsReceiver::newest(std::int64_t now_ms) const {
  const std::int64_t ignored_since_fix = counters_.invalid() - ignored_at_fix_;
  if (!fix_) return XgpsSilence{std::nullopt, ignored_since_fix};
  const std::int64_t age = now_ms - fix_at_ms_;
  if (age > kXgpsFreshMs) return XgpsSilence{age, ignored_since_fix};
  XgpsSample sample;
  sample.latitud = round_to_iocp_degrees(fix_->latitude);
  sample.longitud = round_to_iocp_degrees(fix_->longitude);
  sample.heading_from_attitude = attitude_ && now_ms - attitude_at_ms_ <= kXattFreshMs;
  sample.heading = round_to_iocp_heading(sample.heading_from_attitude ? attitude_->heading_deg : fix_->track_deg);
  return sample;
}

void XgpsReceiver::clear() { *this = XgpsReceiver(); }

}  // namespace tolvex
