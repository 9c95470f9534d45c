// The poll's conversions, and one poll through a fake link.
#include "simlink/fsuipc_position.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>

#include "simlink/extended_product.h"
#include "support/fake_fsuipc.h"

namespace tolvex {
namespace {

TEST(FsuipcConversion, Table) {
  constexpr std::int64_t kNorthPole = 10001750LL * 4294967296LL;
  constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
  struct Case {
    std::int64_t raw;
    double latitude, longitude;
  } cases[] = {
      {kNorthPole, 90.0, 0.0},         {-kNorthPole, -90.0, 0.0},   {kMax, 0.0, 180.0},
      {0, 0.0, 0.0},                   {kNorthPole / 2, 45.0, 0.0}, {std::numeric_limits<std::int64_t>::min(), 0.0, -180.0},
      {static_cast<std::int64_t>(40.47123L / 90.0L * kNorthPole), 40.47123, 0.0},
  };
  for (const Case& c : cases) {
    if (c.latitude != 0.0 || c.raw == 0) {
      EXPECT_EQ(latitude_from_fsuipc(c.raw), c.latitude) << c.raw;
    }
    if (c.longitude != 0.0 || c.raw == 0) {
      EXPECT_EQ(longitude_from_fsuipc(c.raw), c.longitude) << c.raw;
    }
  }
  struct HeadingCase {
    std::uint32_t raw;
    std::int32_t degrees;
  } headings[] = {{0, 0}, {4294967295u, 360}, {2147483648u, 180}, {4290672329u, 360},  // 359.6 degrees
                  {5965232u, 0},                                                        // 0.49999 degrees
                  {5965233u, 1}};                                                       // 0.5 degrees
  for (const HeadingCase& h : headings) EXPECT_EQ(heading_from_fsuipc(h.raw), h.degrees) << h.raw;
}

// The integer arithmetic must give what a 64-bit-mantissa long double gives, ties included.
TEST(FsuipcConversion, SameFiveDecimalsAsLongDouble) {
  if (std::numeric_limits<long double>::digits != 64) GTEST_SKIP() << "long double has no 64-bit mantissa here";
  const long double lat_factor = 90.0L / (10001750.0L * 4294967296.0L);
  const long double lon_factor = 360.0L / (4294967296.0L * 4294967296.0L);
  auto reference = [](std::int64_t raw, long double factor) {
    return static_cast<double>(std::round(static_cast<long double>(raw) * factor * 100000.0L)) / 100000.0;
  };
  std::uint64_t state = 0x9E3779B97F4A7C15u;
  auto next = [&state] {  // splitmix64
    std::uint64_t z = (state += 0x9E3779B97F4A7C15u);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
    return z ^ (z >> 31);
  };
  int checked = 0;
  for (int i = 0; i < 20000; ++i) {
    const auto raw = static_cast<std::int64_t>(next());
    ASSERT_EQ(longitude_from_fsuipc(raw), reference(raw, lon_factor)) << raw;
    const std::int64_t lat_raw = raw / 1000;  // within +-90 degrees and beyond
    ASSERT_EQ(latitude_from_fsuipc(lat_raw), reference(lat_raw, lat_factor)) << lat_raw;
    // Around a half of the last decimal, where rounding differences would show.
    const auto hundred_thousandths = static_cast<long double>(next() % 18000001) - 9000000.0L + 0.5L;
    const auto tie = static_cast<std::int64_t>(hundred_thousandths / 100000.0L / lat_factor);
    for (std::int64_t near = tie - 2; near <= tie + 2; ++near, ++checked)
      ASSERT_EQ(latitude_from_fsuipc(near), reference(near, lat_factor)) << near;
  }
  EXPECT_EQ(checked, 100000);
}

TEST(FsuipcConversion, ExtendedQuotientRoundsToNearestAndHalvesGoAwayFromZero) {
  // Where long double has no 64-bit mantissa the sweep above is skipped; these still hold.
  const ExtendedNumber minus_one = extended_from_int(-1);
  EXPECT_EQ(extended_round(extended_times_power_of_two(minus_one, -1)), -1);  // -0.5: away from zero
  const ExtendedNumber third = extended_quotient(1, 3);
  EXPECT_EQ(third.mantissa, 0xAAAAAAAAAAAAAAABu);  // 0.1010...1011: rounded up
  EXPECT_EQ(third.exponent, -65);
}

class FsuipcPollTest : public ::testing::Test {
 protected:
  FsuipcPollTest() : link(std::make_unique<test::FakeFsuipcTransport>(fake)), position(link) {
    fake.memory.set_versions(test::kFakeFsuipcVersion, test::kFakeSimulatorVersion);
    fake.memory.set<std::int64_t>(0x0560, 10001750LL * 4294967296LL);
    fake.memory.set<std::int64_t>(0x0568, std::numeric_limits<std::int64_t>::max());
    fake.memory.set<double>(0x6010, 40.123456789);
    fake.memory.set<double>(0x6018, -3.987654321);
    fake.memory.set<std::uint32_t>(0x0580, 2147483648u);
  }
  test::FakeFsuipcTransport::State fake;
  FsuipcLink link;
  FsuipcPosition position;
};

TEST_F(FsuipcPollTest, FiveReadsInOneExchangeAndTheSwitchChoosesTheSource) {
  ASSERT_TRUE(position.open());
  fake.served_offsets.clear();
  const auto xplane = position.poll(true);
  ASSERT_TRUE(xplane);
  EXPECT_EQ(fake.served_offsets, (std::vector<std::uint32_t>{0x0560, 0x0568, 0x6010, 0x6018, 0x0580}));
  EXPECT_EQ(xplane->latitud, 90.0);
  EXPECT_EQ(xplane->longitud, 180.0);
  EXPECT_EQ(xplane->heading, 180);
  const auto simulator = position.poll(false);
  ASSERT_TRUE(simulator);
  EXPECT_EQ(simulator->latitud, 40.123456789);  // unrounded
  EXPECT_EQ(simulator->longitud, -3.987654321);
  EXPECT_EQ(fake.send_timeouts.size(), 3u);      // handshake and two polls

  fake.reply = {FsuipcTransport::Reply::timed_out, 0};
  EXPECT_FALSE(position.poll(false));
  position.close();
  EXPECT_FALSE(position.poll(false));
  EXPECT_EQ(link.queued_bytes(), 0u);
}

}  // namespace
}  // namespace tolvex
