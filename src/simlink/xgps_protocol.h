#pragma once
// The network GPS link: the text datagrams that simulators and bridges send to tablet navigation
// apps on UDP port 49002, and the store that turns them into the aircraft sample of a poll.
//   XGPS<name>,<longitude>,<latitude>,<altitude m MSL>,<track deg true>,<ground speed m/s>  (1 Hz)
//   XATT<name>,<true heading deg>,<pitch deg>,<roll deg>[,...]                              (4-10 Hz)
// Time is always an argument (milliseconds of a steady clock), so the rules can be tested.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace tolvex {

inline constexpr std::int32_t kXgpsDefaultPort = 49002;
// A longer datagram is not one of ours (the messages are well under 100 bytes).
inline constexpr std::size_t kXgpsMaxDatagramBytes = 1024;
// The heading comes from the attitude message while it is this fresh, else from the track.
inline constexpr std::int64_t kXattFreshMs = 2000;
// A position older than this fails the poll.
inline constexpr std::int64_t kXgpsFreshMs = 3000;

struct XgpsFix {
  double longitude = 0;        // -180..180
  double latitude = 0;         // -90..90
  double altitude_m = 0;       // MSL
  double track_deg = 0;        // true, 0..360 (negative senders' values are taken modulo 360)
  double ground_speed_ms = 0;  // 0 or more
};

struct XattAttitude {
  double heading_deg = 0;  // true, 0..360 as the track
  double pitch_deg = 0;    // -90..90
  double roll_deg = 0;     // -180..180
};

// Why a datagram was ignored.
enum class XgpsRejection : std::size_t {
  unknown_prefix,  // neither XGPS nor XATT (XTRAFFIC, other programs' traffic)
  missing_words,   // fewer words than the message needs
  extra_words,     // a position with more than its five numbers (decimal commas would give that)
  not_a_number,    // a word that is not a decimal number with a point, or is not finite
  out_of_range,    // a latitude beyond 90, a heading beyond 360, a negative speed...
  too_long,        // more than kXgpsMaxDatagramBytes
  other_sender,    // from a sender other than the one followed (a second simulator on the network)
};
inline constexpr std::size_t kXgpsRejectionKinds = 7;

using XgpsMessage = std::variant<XgpsFix, XattAttitude, XgpsRejection>;

// One datagram. Blanks (and CR, LF, NUL) around each word are ignored; the name may be empty
// and never holds a comma. An attitude may carry further words (X-Plane sends more); a position
// must have exactly its five numbers, so a sender writing decimal commas ("40,4") is refused
// rather than read as other numbers.
XgpsMessage parse_xgps_datagram(std::string_view datagram);

// Ignored datagrams by reason, since the link was opened.
struct XgpsCounters {
  std::array<std::int64_t, kXgpsRejectionKinds> ignored{};
  std::int64_t fixes = 0;
  std::int64_t attitudes = 0;
  std::int64_t total_ignored() const;
  // Ignored for what they hold, not for who sent them.
  std::int64_t invalid() const;
};

// "Mensajes de red ignorados: 3 (prefijo desconocido 1, ...)": the log line for the counters.
std::string ignored_summary(const XgpsCounters& counters);

// The sample a poll hands to the map, at the resolution of the IOCP path.
struct XgpsSample {
  double latitud = 0;
  double longitud = 0;
  std::int32_t heading = 0;
  bool heading_from_attitude = false;
};

// Why a poll has no sample: no position yet, or the last one is too old.
struct XgpsSilence {
  std::optional<std::int64_t> fix_age_ms;  // empty: no position received since the link opened
  std::int64_t ignored_since_fix = 0;      // datagrams ignored since the last position
};

// The Spanish text the pilot reads when a poll fails.
std::string silence_message(const XgpsSilence& silence, std::int32_t port);

// Keeps only the newest position and attitude, whatever the number of datagrams received, and
// counts what it ignores. It follows one sender: the first whose message is valid. Others are
// ignored until that one has sent nothing valid for kXgpsFreshMs, so two simulators on one
// network never make the aircraft jump between them.
class XgpsReceiver {
 public:
  // Parses and keeps one datagram received at now_ms from `sender` (address and port).
  void receive(std::string_view datagram, std::int64_t now_ms, std::string_view sender = {});
  // A datagram the socket layer found too long and never handed over.
  void receive_oversized();

  // Latitude and longitude from the last position; the heading from the last attitude when it
  // is at most kXattFreshMs old, else the position's track. Silence when no position arrived
  // or the last one is more than kXgpsFreshMs old.
  std::variant<XgpsSample, XgpsSilence> newest(std::int64_t now_ms) const;

  bool has_fix() const { return fix_.has_value(); }
  const XgpsCounters& counters() const { return counters_; }
  // The sender followed; empty before the first valid message.
  const std::optional<std::string>& sender() const { return sender_; }
  void clear();

 private:
  std::optional<std::string> sender_;
  std::int64_t sender_heard_at_ms_ = 0;
  std::optional<XgpsFix> fix_;
  std::int64_t fix_at_ms_ = 0;
  std::optional<XattAttitude> attitude_;
  std::int64_t attitude_at_ms_ = 0;
  XgpsCounters counters_;
  std::int64_t ignored_at_fix_ = 0;
};

}  // namespace tolvex
