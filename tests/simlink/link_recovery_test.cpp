#include "simlink/link_recovery.h"

#include <gtest/gtest.h>

#include <string>

namespace tolvex {
namespace {

// Events: 'S' a good poll, 'F' a poll failing on a live connection, 'D' a poll that finds the
// connection gone, 'a' an attempt starts, 'x' it fails, 'c' it connects. Told: 'L' lost,
// 'N' no positions, 'B' back, '.' nothing.
std::string run(LinkRecovery& r, const std::string& events) {
  std::string told;
  for (char e : events) {
    LinkNotice n = LinkNotice::none;
    switch (e) {
      case 'S': n = r.poll_succeeded(); break;
      case 'F': n = r.poll_failed(false); break;
      case 'D': n = r.poll_failed(true); break;
      case 'a': r.attempt_started(0); break;
      case 'x': r.attempt_failed(); break;
      case 'c': r.attempt_succeeded(); break;
    }
    told += n == LinkNotice::lost ? 'L' : n == LinkNotice::no_positions ? 'N' : n == LinkNotice::back ? 'B' : '.';
  }
  return told;
}

TEST(LinkRecovery, OneNoticeWhenAStreakStartsAndOneWhenItEnds) {
  struct Case {
    const char* events;
    const char* told;
    LinkState state;
  };
  const Case cases[] = {
      {"SS", "..", LinkState::live},
      {"SDacS", ".L..B", LinkState::live},
      {"DaxaxaxacS", "L........B", LinkState::live},  // refused attempts are part of the streak
      {"Da", "L.", LinkState::reconnecting},
      {"Dac", "L..", LinkState::back},
      {"DacDacS", "L.....B", LinkState::live},  // connected again, stalled again: still one streak
      {"DacFFS", "L....B", LinkState::live},     // connected again, bad replies: still one streak
      {"FFS", "N.B", LinkState::live},
      {"FDacS", "NL..B", LinkState::live},  // the connection went after bad replies: told it is lost
      {"DacSDacS", "L..BL..B", LinkState::live},
      {"DD", "L.", LinkState::lost},
  };
  for (const Case& c : cases) {
    LinkRecovery r;
    EXPECT_EQ(run(r, c.events), c.told) << c.events;
    EXPECT_EQ(r.state(), c.state) << c.events;
    EXPECT_EQ(r.can_poll(), c.state == LinkState::live || c.state == LinkState::back) << c.events;
  }
}

TEST(LinkRecovery, AtMostOneAttemptPerRetryPeriod) {
  LinkRecovery r(5000);
  EXPECT_EQ(r.next_attempt_in(0), std::nullopt) << "live: nothing to retry";
  r.poll_failed(true);
  EXPECT_EQ(r.next_attempt_in(100), 0) << "the first attempt right away";
  r.attempt_started(100);
  EXPECT_EQ(r.next_attempt_in(200), std::nullopt) << "one at a time";
  r.attempt_failed();
  EXPECT_EQ(r.next_attempt_in(1100), 4000);
  EXPECT_EQ(r.next_attempt_in(5100), 0);
  r.attempt_started(5200);
  r.attempt_succeeded();
  r.poll_failed(true);  // stalled again on the new connection
  EXPECT_EQ(r.next_attempt_in(6000), 4200) << "the period counts from the last attempt";
  r.reset();
  EXPECT_EQ(r.next_attempt_in(6000), std::nullopt);
  EXPECT_FALSE(r.failing());
  r.poll_failed(true);
  EXPECT_EQ(r.next_attempt_in(6000), 0) << "a connection the pilot made starts afresh";
}

}  // namespace
}  // namespace tolvex
