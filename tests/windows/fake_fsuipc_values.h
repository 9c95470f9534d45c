#pragma once
// What the fake FSUIPC server holds, shared by the server and the tests that read from it.
#include <cstdint>

#include "support/fake_fsuipc.h"

namespace tolvex::test {

inline constexpr std::uint32_t kServerFsuipcVersion = 0x49990000;
inline constexpr std::uint32_t kServerSimulatorVersion = 0xFADE000C;
inline constexpr std::int64_t kServerLatitudeUnits = 10001750LL * 4294967296LL / 2;  // 45 N
inline constexpr std::int64_t kServerLongitudeUnits = -(1LL << 61);                  // 45 W
inline constexpr double kServerLatitude = 40.4711234567, kServerLongitude = -3.7091234567;
inline constexpr std::uint32_t kServerHeading = 3221225472u;                        // 270 degrees

inline void fill_fake_fsuipc(FakeFsuipcMemory& memory) {
  memory.set_versions(kServerFsuipcVersion, kServerSimulatorVersion);
  memory.set(0x0560, kServerLatitudeUnits);
  memory.set(0x0568, kServerLongitudeUnits);
  memory.set(0x6010, kServerLatitude);
  memory.set(0x6018, kServerLongitude);
  memory.set(0x0580, kServerHeading);
}

}  // namespace tolvex::test
