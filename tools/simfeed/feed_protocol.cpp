#include "feed_protocol.h"

#include <charconv>

namespace simfeed {

std::optional<std::string> build_reply(std::string_view request, const IocpVariables& v) {
  if (!request.starts_with(kRequestPrefix)) return std::nullopt;
  std::string_view rest = request.substr(kRequestPrefix.size());
  std::string reply(kReplyPrefix);
  while (!rest.empty()) {
    const auto colon = rest.find(':');
    const std::string_view token = rest.substr(0, colon);
    rest = colon == std::string_view::npos ? std::string_view() : rest.substr(colon + 1);
    int number = 0;
    auto [end, ec] = std::from_chars(token.data(), token.data() + token.size(), number);
    if (ec != std::errc() || end != token.data() + token.size()) continue;
    std::int32_t value;
    switch (number) {
      case 69: value = v.lat_e5; break;
      case 70: value = v.lon_e5; break;
      case 79: value = v.heading_e2; break;
      default: continue;
    }
    reply += std::to_string(number) + "=" + std::to_string(value) + ":";
  }
  return reply;
}

std::string garbage_reply(const IocpVariables& v) {
  return std::string(kReplyPrefix) + "69=" + std::to_string(v.lat_e5) + ":70=basura:79=" +
         std::to_string(v.heading_e2) + ":";
}

}  // namespace simfeed
