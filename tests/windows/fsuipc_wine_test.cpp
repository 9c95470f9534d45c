// The process's FSUIPC link with the real Win32 transport, against the fake server running in
// another Wine process (started by the CTest fixtures, tests/windows/windows_tests.cmake).
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>

#include "simlink/fsuipc_client.h"
#include "simlink/fsuipc_position.h"
#include "windows/fake_fsuipc_values.h"

namespace tolvex {
namespace {

TEST(FsuipcWine, ExchangeWithTheServer) {
  IpcCode code;
  ASSERT_TRUE(ipc_abrir(0, code)) << static_cast<int>(code);
  EXPECT_EQ(fsuipc_link().fsuipc_version(), test::kServerFsuipcVersion);
  EXPECT_EQ(fsuipc_link().simulator_version(), test::kServerSimulatorVersion & 0xFFFF);

  FsuipcPosition position;
  const auto xplane = position.poll(true);
  ASSERT_TRUE(xplane);
  EXPECT_EQ(xplane->latitud, 45.0);
  EXPECT_EQ(xplane->longitud, -45.0);
  EXPECT_EQ(xplane->heading, 270);
  const auto simulator = position.poll(false);
  ASSERT_TRUE(simulator);
  EXPECT_EQ(simulator->latitud, test::kServerLatitude);
  EXPECT_EQ(simulator->longitud, test::kServerLongitude);

  // A write reaches the server; the handshake's write of 0 did not touch the version word.
  const std::uint32_t written = 0x12345678;
  std::uint32_t read_back = 0, simulator_version = 0;
  ASSERT_TRUE(ipc_escribir(0x0D00, 4, &written, code));
  ASSERT_TRUE(ipc_leer(0x0D00, 4, &read_back, code));
  ASSERT_TRUE(ipc_leer(0x3308, 4, &simulator_version, code));
  ASSERT_TRUE(ipc_procesar(code));
  EXPECT_EQ(read_back, written);
  EXPECT_EQ(simulator_version, test::kServerSimulatorVersion);

  // Closing gives the atom and the block back: the same name opens again.
  ipc_cerrar();
  ASSERT_TRUE(ipc_abrir(0, code)) << static_cast<int>(code);
  ipc_cerrar();
}

TEST(FsuipcWine, NoSimulatorWindow) {
  IpcCode code = IpcCode::ok;
  EXPECT_FALSE(ipc_abrir(0, code));
  EXPECT_EQ(code, IpcCode::no_window);
}

// The server answers the handshake, then takes 2.5 s over every request.
TEST(FsuipcWine, StalledServerTimesOutTenTimes) {
  IpcCode code;
  ASSERT_TRUE(ipc_abrir(0, code)) << static_cast<int>(code);
  std::uint32_t heading = 0;
  ASSERT_TRUE(ipc_leer(0x0580, 4, &heading, code));
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(ipc_procesar(code));
  const auto waited = std::chrono::steady_clock::now() - start;
  EXPECT_EQ(code, IpcCode::timed_out);
  EXPECT_EQ(heading, 0u);
  // Ten sends of 2 s and ten pauses of 100 ms, not less and not without end.
  EXPECT_GE(waited, std::chrono::milliseconds(20900));
  EXPECT_LT(waited, std::chrono::seconds(60));
  ipc_cerrar();
}

}  // namespace
}  // namespace tolvex
