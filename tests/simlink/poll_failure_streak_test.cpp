#include "simlink/poll_failure_streak.h"

#include <gtest/gtest.h>

#include <string>

namespace tolvex {
namespace {

// 'F' a failing poll, 'S' a successful one; the expected text marks with '!' each failure the
// pilot is told about.
TEST(PollFailureStreak, OneMessagePerStreak) {
  const std::pair<std::string, std::string> cases[] = {
      {"FFFF", "!..."}, {"FSF", "!.!"}, {"SSFFSFF", "..!..!."}, {"", ""}, {"SS", ".."}};
  for (const auto& [polls, expected] : cases) {
    PollFailureStreak streak;
    std::string told;
    for (char p : polls) {
      if (p == 'F') {
        told += streak.record_failure() ? '!' : '.';
      } else {
        streak.record_success();
        told += '.';
      }
    }
    EXPECT_EQ(told, expected) << polls;
  }
}

TEST(PollFailureStreak, ResetStartsAfresh) {
  PollFailureStreak streak;
  streak.record_failure();
  streak.record_failure();
  EXPECT_TRUE(streak.failing());
  EXPECT_EQ(streak.failures(), 2);
  streak.reset();
  EXPECT_FALSE(streak.failing());
  EXPECT_TRUE(streak.record_failure());
}

}  // namespace
}  // namespace tolvex
