#include "feed_protocol.h"

#include <charconv>
#include <cmath>

namespace simfeed {
namespace {

// Fixed decimals with a point: to_chars ignores the locale, which printf does not.
std::string fixed(double value, int decimals) {
  char text[64];
  const auto [end, ec] = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
  return ec == std::errc() ? std::string(text, end) : std::string("0");
}

}  // namespace

std::optional<std::string> build_reply(std::string_view request, const IocpVariables& v) {
  if (!request.starts_with(kRequestPrefix)) return std::nullopt;
  std::string_view rest = request.substr(kRequestPrefix.size());
  std::string reply(kReplyPrefix);
  while (!rest.empty()) {
    const auto colon = rest.find(':');
    const std::string_view token = rest.substr(0, colon);
    rest = colon == std::string_view::npos ? std::string_view() : rest.substr(colon + 1);
    int number = 0;
    auto [end, ec] = std::from_chars(token.data(), token.data() + token.size(), number);
    if (ec != std::errc() || end != token.data() + token.size()) continue;
    std::int32_t value;
    switch (number) {
      case 69: value = v.lat_e5; break;
      case 70: value = v.lon_e5; break;
      case 79: value = v.heading_e2; break;
      default: continue;
    }
    reply += std::to_string(number) + "=" + std::to_string(value) + ":";
  }
  return reply;
}

std::string garbage_reply(const IocpVariables& v) {
  return std::string(kReplyPrefix) + "69=" + std::to_string(v.lat_e5) + ":70=basura:79=" +
         std::to_string(v.heading_e2) + ":";
}

std::string xgps_datagram(const AircraftState& s, double ground_speed_ms) {
  return "XGPS" + std::string(kXgpsName) + "," + fixed(s.lon, 6) + "," + fixed(s.lat, 6) + "," +
         fixed(kCircuitAltitudeM, 1) + "," + fixed(s.heading_deg, 2) + "," + fixed(ground_speed_ms, 1);
}

std::string xatt_datagram(const AircraftState& s, double ground_speed_ms) {
  constexpr double kPi = 3.14159265358979323846;
  double roll = std::atan(ground_speed_ms * s.turn_rate_deg_s * kPi / 180 / 9.80665) * 180 / kPi;
  if (std::abs(roll) < 0.05) roll = 0;  // no "-0.0" on straight legs
  return "XATT" + std::string(kXgpsName) + "," + fixed(s.heading_deg, 2) + "," + fixed(0, 1) + "," + fixed(roll, 1);
}

}  // namespace simfeed
