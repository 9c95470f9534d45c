#include "simlink/fsuipc_position.h"

#include <array>
#include <cmath>
#include <cstddef>
#include <cstring>

#include "simlink/extended_product.h"

namespace tolvex {

namespace {

constexpr std::uint32_t kLatitudeUnitsOffset = 0x0560;
constexpr std::uint32_t kLongitudeUnitsOffset = 0x0568;
constexpr std::uint32_t kLatitudeDegreesOffset = 0x6010;
constexpr std::uint32_t kLongitudeDegreesOffset = 0x6018;
constexpr std::uint32_t kHeadingOffset = 0x0580;

// Both values go through "times 100000, round, divide by 100000" to keep five decimals.
double five_decimals(ExtendedNumber degrees) {
  const ExtendedNumber scaled = extended_product(degrees, extended_from_int(100000));
  return static_cast<double>(extended_round(scaled)) / 100000.0;
}

template <typename T>
T from_bytes(const std::array<std::byte, 8>& bytes) {
  T value;
  std::memcpy(&value, bytes.data(), sizeof value);
  return value;
}

}  // namespace

double latitude_from_fsuipc(std::int64_t raw) {
  // 90 / (10001750 * 2^32)
  static const ExtendedNumber factor = extended_times_power_of_two(extended_quotient(90, 10001750), -32);
  return five_decimals(extended_product(extended_from_int(raw), factor));
}

double longitude_from_fsuipc(std::int64_t raw) {
  // 360 / 2^64
  static const ExtendedNumber factor = extended_times_power_of_two(extended_from_int(360), -64);
  return five_decimals(extended_product(extended_from_int(raw), factor));
}

std::int32_t heading_from_fsuipc(std::uint32_t raw) {
  const double degrees = static_cast<double>(raw) * 3.6 / 655.36 / 65536.0;
  return static_cast<std::int32_t>(std::round(degrees));
}

bool FsuipcPosition::open() {
  IpcCode code;
  return link_.ipc_abrir(0, code);
}

std::optional<AircraftSample> FsuipcPosition::poll(bool xplane) {
  std::array<std::byte, 8> latitude_units{}, longitude_units{}, latitude_degrees{}, longitude_degrees{}, heading{};
  IpcCode code;
  const bool queued = link_.ipc_leer(kLatitudeUnitsOffset, 8, latitude_units.data(), code) &&
                      link_.ipc_leer(kLongitudeUnitsOffset, 8, longitude_units.data(), code) &&
                      link_.ipc_leer(kLatitudeDegreesOffset, 8, latitude_degrees.data(), code) &&
                      link_.ipc_leer(kLongitudeDegreesOffset, 8, longitude_degrees.data(), code) &&
                      link_.ipc_leer(kHeadingOffset, 4, heading.data(), code);
  if (!queued) {
    link_.discard_queue();  // nothing may stay queued pointing at these buffers
    return std::nullopt;
  }
  if (!link_.ipc_procesar(code)) return std::nullopt;
  AircraftSample sample;
  if (xplane) {
    sample.latitud = latitude_from_fsuipc(from_bytes<std::int64_t>(latitude_units));
    sample.longitud = longitude_from_fsuipc(from_bytes<std::int64_t>(longitude_units));
  } else {
    sample.latitud = from_bytes<double>(latitude_degrees);
    sample.longitud = from_bytes<double>(longitude_degrees);
  }
  sample.heading = heading_from_fsuipc(from_bytes<std::uint32_t>(heading));
  return sample;
}

}  // namespace tolvex
