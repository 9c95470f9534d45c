#include "tablet/tablet_messages.h"

#include "map/script_escape.h"

namespace tolvex {
namespace {

void append_section(std::string& message, const std::string& name, const std::string& value) {
  message += ',';
  message += quote_double(name);
  message += ':';
  message += value;
}

}  // namespace

std::string sample_message(const TabletSample& sample) {
  const std::string lat = script_number(sample.latitud);
  const std::string lng = script_number(sample.longitud);
  if (lat.empty() || lng.empty()) return {};
  return R"({"tipo":"muestra","lat":)" + lat + R"(,"lng":)" + lng + R"(,"hdg":)" + std::to_string(sample.heading) +
         "}";
}

std::string state_message(const TabletState& state) {
  std::string message = R"({"tipo":"estado")";
  for (const auto& [name, value] : state) append_section(message, name, value);
  message += '}';
  return message;
}

std::optional<std::string> state_change_message(const TabletState& before, const TabletState& after) {
  std::string message = R"({"tipo":"estado")";
  bool changed = false;
  for (const auto& [name, value] : after) {
    const auto old = before.find(name);
    if (old != before.end() && old->second == value) continue;
    append_section(message, name, value);
    changed = true;
  }
  if (!changed) return std::nullopt;
  message += '}';
  return message;
}

}  // namespace tolvex
