#pragma once
// The simulated aircraft behind simfeed: flies a closed list of waypoints at a constant speed,
// turning at most at standard rate. Plain C++ so it can be tested without a server.
#include <cstdint>
#include <string_view>
#include <vector>

namespace simfeed {

struct GeoPoint {
  double lat = 0;  // decimal degrees, north positive
  double lon = 0;  // decimal degrees, east positive
};

struct AircraftState {
  double lat = 0;
  double lon = 0;
  double heading_deg = 0;      // true heading, [0, 360)
  double turn_rate_deg_s = 0;  // positive turning right
};

// The three IOCP variables as the server sends them.
struct IocpVariables {
  std::int32_t lat_e5 = 0;      // 69: hundred-thousandths of a degree
  std::int32_t lon_e5 = 0;      // 70
  std::int32_t heading_e2 = 0;  // 79: hundredths of a degree, 0..35999
};
IocpVariables to_iocp_variables(const AircraftState& state);

class FlightModel {
 public:
  static constexpr double kSpeedKt = 100;
  static constexpr double kStandardRateDegPerS = 3;
  static constexpr double kStepS = 0.1;

  // Starts at the first waypoint heading for the second and loops back to the first after the
  // last. Needs at least two points.
  explicit FlightModel(std::vector<GeoPoint> waypoints, double speed_kt = kSpeedKt);

  // A left-hand circuit of about six minutes around Cuatro Vientos (Madrid).
  static std::vector<GeoPoint> madrid_circuit();

  // Moves the aircraft on to `seconds` since the start; earlier times change nothing.
  void advance_to(double seconds);
  const AircraftState& state() const { return state_; }
  double speed_ms() const { return speed_ms_; }
  double time() const { return static_cast<double>(steps_) * kStepS; }
  std::size_t target_index() const { return target_; }

 private:
  void step(double dt);

  std::vector<GeoPoint> waypoints_;
  double speed_ms_;
  AircraftState state_;
  std::size_t target_ = 1;
  std::int64_t steps_ = 0;  // counted, not summed, so no step is lost to rounding
};

// A route file: a header line (speed|consumption) and then "lon, lat" lines. Blank lines and
// lines starting with '#' are skipped. Throws std::runtime_error naming the bad line.
std::vector<GeoPoint> parse_route_file(std::string_view text);

}  // namespace simfeed
