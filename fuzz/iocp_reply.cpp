// The IOCP Server's reply line, as any server or a broken network may send it. Parsing either
// succeeds or throws std::runtime_error; the fields are assigned in order, so on failure a
// later field never changed while an earlier one kept its old value, and the error quotes at most
// 200 characters of the line, on one line. A well-formed reply made from three 32-bit values,
// with any text before it and after it, gives exactly those values.
#include <cmath>
#include <limits>
#include <stdexcept>
#include <string>

#include "fuzz_support.h"
#include "simlink/iocp_protocol.h"

namespace {

using namespace tolvex;

constexpr double kUnset = 1e300;
constexpr std::int32_t kUnsetHeading = std::numeric_limits<std::int32_t>::min();

std::int32_t int32_at(const std::uint8_t* data, std::size_t size, std::size_t offset) {
  std::uint32_t v = 0;
  for (std::size_t i = 0; i < 4; ++i) v = (v << 8) | (offset + i < size ? data[offset + i] : 0u);
  return static_cast<std::int32_t>(v);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text = tolvex::fuzz::as_text(data, size);

  // Any line.
  double latitud = kUnset, longitud = kUnset;
  std::int32_t heading = kUnsetHeading;
  try {
    parse_iocp_reply(text, latitud, longitud, heading);
    const auto at69 = text.find("69=");
    FUZZ_CHECK(at69 != std::string_view::npos);
    const auto at70 = text.find("70=", at69);
    FUZZ_CHECK(at70 != std::string_view::npos && text.find("79=", at70) != std::string_view::npos);
    FUZZ_CHECK(std::fabs(latitud) <= 21474.83648 && std::fabs(longitud) <= 21474.83648);
    FUZZ_CHECK(heading != kUnsetHeading);
  } catch (const std::runtime_error& error) {
    // The message quotes at most 200 characters of the reply, on one line.
    const std::string_view message = error.what();
    FUZZ_CHECK(message.size() <= 4 * 200 + 100);
    FUZZ_CHECK(message.find_first_of("\r\n") == std::string_view::npos);
    FUZZ_CHECK(longitud == kUnset || latitud != kUnset);
    FUZZ_CHECK(heading == kUnsetHeading);
  }

  // A well-formed reply built from the first twelve bytes, inside the rest of the input.
  const std::int32_t a = int32_at(data, size, 0), b = int32_at(data, size, 4), c = int32_at(data, size, 8);
  const std::string_view rest = size > 12 ? text.substr(12) : std::string_view();
  std::string before(rest.substr(0, rest.size() / 2));
  const std::string_view after = rest.substr(rest.size() / 2);
  if ((before + "69=").find("69=") != before.size()) before.clear();
  const std::string reply = before + "69=" + std::to_string(a) + ":70=" + std::to_string(b) + ":79=" +
                            std::to_string(c) + ":" + std::string(after);
  parse_iocp_reply(reply, latitud, longitud, heading);
  FUZZ_CHECK(latitud == a / 100000.0);
  FUZZ_CHECK(longitud == b / 100000.0);
  FUZZ_CHECK(heading == static_cast<std::int32_t>(std::lround(c / 100.0)));
  return 0;
}
