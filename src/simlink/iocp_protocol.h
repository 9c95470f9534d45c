#pragma once
// The IOCP Server's text protocol as the client sees it: the fixed lines we send, the reply
// parser and the line framer that turns received bytes into lines.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>

namespace tolvex {

// Asks for latitude (69), longitude (70) and heading (79), in that order.
inline constexpr std::string_view kIocpRequest = "Arn.Preg:69:70:79:";
inline constexpr std::string_view kIocpGoodbye = "Arn.Fin:";
inline constexpr std::string_view kIocpKeepAlive = "Arn.Vivo:";
// Every line we send ends with CR LF.
inline constexpr std::string_view kIocpLineEnd = "\r\n";

// Parses one reply line ("...69=4047123:70=-370912:79=27049:...") into the aircraft sample.
// The fields are assigned one after the other, so when a later one fails the earlier ones keep
// their new values and the rest their old ones. Throws std::runtime_error (Spanish text) when a
// variable is missing or its value is not a 32-bit decimal integer.
void parse_iocp_reply(std::string_view line, double& latitud, double& longitud, std::int32_t& heading);

// Hundredths of a degree -> whole degrees, nearest, halves away from zero (35960 -> 360).
std::int32_t heading_from_hundredths(std::int32_t hundredths);

// Hundred-thousandths of a degree -> decimal degrees (4047123 -> 40.47123).
double degrees_from_hundred_thousandths(std::int32_t value);

// Every link hands the map its sample at the resolution the IOCP Server gives: a link that
// receives decimal degrees passes them through the same steps as if the server had sent them.
// Latitude or longitude (|degrees| <= 180) -> nearest 0.00001 degree.
double round_to_iocp_degrees(double degrees);
// Heading in degrees (0..360) -> nearest hundredth, then heading_from_hundredths (359.6 -> 360).
std::int32_t round_to_iocp_heading(double degrees);

// True for the server's "are you there" line, which must be answered with the same text.
bool is_keepalive(std::string_view line);

// Bytes in, complete lines out. A line ends at LF; a CR just before the LF is dropped. A line
// longer than kMaxLineBytes is an error, so a peer that never sends LF cannot make us buffer
// without limit.
class IocpLineFramer {
 public:
  static constexpr std::size_t kMaxLineBytes = 64 * 1024;

  // Throws std::runtime_error when a line grows beyond the limit; the framer then stays failed.
  void feed(std::string_view bytes);
  // The oldest complete line not yet taken, without its line end.
  std::optional<std::string> next_line();
  bool has_line() const { return !lines_.empty(); }
  // Bytes of the line still being received.
  std::size_t pending_bytes() const { return pending_.size(); }
  void clear();

 private:
  void push_line(std::string line);

  std::string pending_;
  std::deque<std::string> lines_;
  bool failed_ = false;
};

}  // namespace tolvex
