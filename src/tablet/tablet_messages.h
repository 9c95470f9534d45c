#pragma once
// What the socket carries to a tablet: data in JSON, never script. A message is one JSON object
// whose "tipo" says what it is:
//   {"tipo":"estado", <section>: <value>, ...}   the state, whole or the sections that changed
//   {"tipo":"muestra","lat":..,"lng":..,"hdg":..} one aircraft sample
//   {"tipo":"datos","hay":false}                 polls are failing: no data from the simulator
// The tablet's page merges each "estado" into what it has and draws from it.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace tolvex {

struct TabletSample {
  double latitud = 0;
  double longitud = 0;
  std::int32_t heading = 0;
};

// {"tipo":"muestra","lat":40.4168,"lng":-3.7038,"hdg":275}; empty when a coordinate is not a
// finite number.
std::string sample_message(const TabletSample& sample);

inline constexpr std::string_view kNoDataMessage = R"({"tipo":"datos","hay":false})";

// The state by section name; each value is the JSON text of that section. Sections are
// replaced, never removed.
using TabletState = std::map<std::string, std::string, std::less<>>;

// {"tipo":"estado", every section}: what a tablet gets first.
std::string state_message(const TabletState& state);

// {"tipo":"estado", only the sections of `after` that `before` lacks or holds otherwise};
// nothing when no section changed.
std::optional<std::string> state_change_message(const TabletState& before, const TabletState& after);

}  // namespace tolvex
