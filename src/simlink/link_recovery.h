#pragma once
// The link to the simulator keeps going by itself: what the pilot is told about a streak of
// failing polls (once when it starts, once when it ends), and when a connection that went is made
// again (in the background, at most one attempt every retry period). Time is an argument.
#include <cstdint>
#include <optional>
#include <string>

#include "simlink/poll_failure_streak.h"

namespace tolvex {

enum class LinkState {
  live,          // polls go out (some may fail: a bad reply, no positions)
  lost,          // the connection went; waiting for the next attempt to make it again
  reconnecting,  // an attempt is under way
  back,          // connected again; the first good poll ends the streak
};

enum class LinkNotice { none, lost, no_positions, back };

// Which link a notice speaks of.
enum class LinkSource { iocp, xgps };

class LinkRecovery {
 public:
  static constexpr std::int64_t kRetryMs = 5000;

  explicit LinkRecovery(std::int64_t retry_ms = kRetryMs) : retry_ms_(retry_ms) {}

  // A connection the pilot made (or ended): no streak, nothing to retry.
  void reset();

  // A poll gave a sample: `back` when it ends a streak.
  LinkNotice poll_succeeded();
  // A poll failed; `link_down`: the connection is gone and has to be made again. The first
  // failure of a streak is told; a streak that began with polls failing on a live connection is
  // told once more when the connection goes, since from then on Tolvex reconnects.
  LinkNotice poll_failed(bool link_down);

  // Milliseconds until the next attempt may start (0: now); nothing while none is wanted.
  std::optional<std::int64_t> next_attempt_in(std::int64_t now_ms) const;
  void attempt_started(std::int64_t now_ms);
  void attempt_failed();
  void attempt_succeeded();

  LinkState state() const { return state_; }
  // Polls may go out: the connection is there.
  bool can_poll() const { return state_ == LinkState::live || state_ == LinkState::back; }
  bool failing() const { return streak_.failing(); }
  std::int64_t retry_ms() const { return retry_ms_; }

 private:
  std::int64_t retry_ms_;
  LinkState state_ = LinkState::live;
  PollFailureStreak streak_;
  bool told_lost_ = false;
  std::optional<std::int64_t> last_attempt_ms_;
};

// The caption the pilot reads. `reason` is the failure's own text (what the log says).
std::string link_notice_text(LinkNotice notice, LinkSource source, const std::string& reason, std::int64_t retry_ms);

}  // namespace tolvex
