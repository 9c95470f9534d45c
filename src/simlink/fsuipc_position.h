#pragma once
// The aircraft position through FSUIPC: the five reads of a poll and their conversions to
// degrees.
#include <cstdint>
#include <optional>

#include "simlink/fsuipc_client.h"

namespace tolvex {

struct AircraftSample {
  double latitud = 0;
  double longitud = 0;
  std::int32_t heading = 0;
};

// FSUIPC units -> degrees rounded to five decimals, in extended precision.
double latitude_from_fsuipc(std::int64_t raw);
double longitude_from_fsuipc(std::int64_t raw);
// FSUIPC units (360 / 2^32 degrees) -> whole degrees, 0..360.
std::int32_t heading_from_fsuipc(std::uint32_t raw);

// The main window's use of the link: open asking for any simulator, one poll, close.
class FsuipcPosition {
 public:
  explicit FsuipcPosition(FsuipcLink& link = fsuipc_link()) : link_(link) {}

  bool open();
  // Queues the five reads and processes them. With `xplane` the integer position is used, else
  // the simulator's doubles. Empty when any step failed.
  std::optional<AircraftSample> poll(bool xplane);
  void close() { link_.ipc_cerrar(); }

 private:
  FsuipcLink& link_;
};

}  // namespace tolvex
