#include "flight_model.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <stdexcept>
#include <string>

namespace simfeed {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kEarthRadiusM = 6378137;
constexpr double kKnotMs = 1852.0 / 3600.0;

double rad(double deg) { return deg * kPi / 180; }
double deg(double r) { return r * 180 / kPi; }

// Into (-180, 180].
double wrap180(double a) {
  a = std::fmod(a, 360);
  if (a <= -180) a += 360;
  if (a > 180) a -= 360;
  return a;
}

double wrap360(double a) {
  a = std::fmod(a, 360);
  return a < 0 ? a + 360 : a;
}

// East and north metres from `from` to `to`; flat earth is plenty over a few kilometres.
void offset_m(const AircraftState& from, const GeoPoint& to, double& east, double& north) {
  east = rad(to.lon - from.lon) * std::cos(rad(from.lat)) * kEarthRadiusM;
  north = rad(to.lat - from.lat) * kEarthRadiusM;
}

std::string_view trim(std::string_view s) {
  while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ') s.remove_prefix(1);
  while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ') s.remove_suffix(1);
  return s;
}

bool to_double(std::string_view s, double& out) {
  s = trim(s);
  if (!s.empty() && s.front() == '+') s.remove_prefix(1);
  auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
  return ec == std::errc() && end == s.data() + s.size() && std::isfinite(out);
}

}  // namespace

IocpVariables to_iocp_variables(const AircraftState& s) {
  IocpVariables v;
  v.lat_e5 = static_cast<std::int32_t>(std::lround(s.lat * 1e5));
  v.lon_e5 = static_cast<std::int32_t>(std::lround(s.lon * 1e5));
  v.heading_e2 = static_cast<std::int32_t>(std::lround(s.heading_deg * 100)) % 36000;
  return v;
}

FlightModel::FlightModel(std::vector<GeoPoint> waypoints, double speed_kt)
    : waypoints_(std::move(waypoints)), speed_ms_(speed_kt * kKnotMs) {
  if (waypoints_.size() < 2) throw std::runtime_error("La ruta necesita al menos dos puntos");
  state_.lat = waypoints_[0].lat;
  state_.lon = waypoints_[0].lon;
  double east, north;
  offset_m(state_, waypoints_[1], east, north);
  state_.heading_deg = wrap360(deg(std::atan2(east, north)));
}

std::vector<GeoPoint> FlightModel::madrid_circuit() {
  // Runway 28 at Cuatro Vientos, left-hand circuit south of the field, over the south-west of
  // the city on the downwind leg.
  return {
      {40.3706, -3.7853},  // over the field, climbing out west
      {40.3750, -3.8200},  // end of the upwind leg
      {40.3520, -3.8180},  // crosswind, turning east
      {40.3460, -3.7500},  // end of downwind, near Carabanchel
      {40.3680, -3.7450},  // base, turning west for the field
  };
}

void FlightModel::advance_to(double seconds) {
  while (static_cast<double>(steps_ + 1) * kStepS <= seconds + 1e-9) {
    step(kStepS);
    ++steps_;
  }
}

void FlightModel::step(double dt) {
  const double turn_radius_m = speed_ms_ / rad(kStandardRateDegPerS);
  double east, north;
  offset_m(state_, waypoints_[target_], east, north);
  double distance = std::hypot(east, north);
  double off_course = wrap180(deg(std::atan2(east, north)) - state_.heading_deg);
  // Reached, or so close and behind that only an orbit would reach it: go for the next one.
  if (distance < 300 || (distance < 2.2 * turn_radius_m && std::abs(off_course) > 90)) {
    target_ = (target_ + 1) % waypoints_.size();
    offset_m(state_, waypoints_[target_], east, north);
    off_course = wrap180(deg(std::atan2(east, north)) - state_.heading_deg);
  }
  const double max_turn = kStandardRateDegPerS * dt;
  const double turn = std::clamp(off_course, -max_turn, max_turn);
  state_.heading_deg = wrap360(state_.heading_deg + turn);
  state_.turn_rate_deg_s = turn / dt;
  const double moved = speed_ms_ * dt;
  const double h = rad(state_.heading_deg);
  state_.lat += deg(moved * std::cos(h) / kEarthRadiusM);
  state_.lon += deg(moved * std::sin(h) / (kEarthRadiusM * std::cos(rad(state_.lat))));
}

std::vector<GeoPoint> parse_route_file(std::string_view text) {
  std::vector<GeoPoint> points;
  bool header_seen = false;
  int line_number = 0;
  while (!text.empty()) {
    const auto lf = text.find('\n');
    std::string line(text.substr(0, lf));
    text = lf == std::string_view::npos ? std::string_view() : text.substr(lf + 1);
    ++line_number;
    std::erase(line, '\r');
    if (trim(line).empty() || line.front() == '#') continue;
    if (!header_seen) {
      header_seen = true;  // speed|consumption: not needed to fly the route
      continue;
    }
    const auto comma = line.find(',');
    GeoPoint p;
    if (comma == std::string::npos || !to_double(std::string_view(line).substr(0, comma), p.lon) ||
        !to_double(std::string_view(line).substr(comma + 1), p.lat) || std::abs(p.lat) > 90 ||
        std::abs(p.lon) > 180)
      throw std::runtime_error("Línea " + std::to_string(line_number) +
                               " de la ruta: se esperaba \"longitud, latitud\": " + line);
    points.push_back(p);
  }
  if (points.size() < 2) throw std::runtime_error("La ruta necesita al menos dos puntos");
  return points;
}

}  // namespace simfeed
