#pragma once
// A server that keeps failing must not open one message box per poll: the pilot hears about a
// streak of failing polls once, and the first poll that succeeds ends the streak.
#include <cstdint>

namespace tolvex {

class PollFailureStreak {
 public:
  // Counts a failed poll. True when it starts a streak: the one failure to show the pilot.
  bool record_failure() { return ++failures_ == 1; }
  // A successful poll (or a new connection) ends the streak.
  void record_success() { failures_ = 0; }
  void reset() { failures_ = 0; }
  bool failing() const { return failures_ > 0; }
  // Failed polls in the current streak.
  std::int64_t failures() const { return failures_; }

 private:
  std::int64_t failures_ = 0;
};

}  // namespace tolvex
