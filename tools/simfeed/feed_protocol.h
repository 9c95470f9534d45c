#pragma once
// The server side of the IOCP text protocol, as far as simfeed speaks it.
#include <optional>
#include <string>
#include <string_view>

#include "flight_model.h"

namespace simfeed {

inline constexpr std::string_view kGreeting = "Arn.TipoSer:FSA:";
inline constexpr std::string_view kRequestPrefix = "Arn.Preg:";
inline constexpr std::string_view kReplyPrefix = "Arn.Resp:";

// "Arn.Preg:69:70:79:" -> "Arn.Resp:69=..:70=..:79=..:" with the variables we know (69, 70,
// 79) in the order asked; others are left out. nullopt when the line is not a request.
std::optional<std::string> build_reply(std::string_view request, const IocpVariables& v);

// The same reply with a value that is not a number, for clients that must cope with garbage.
std::string garbage_reply(const IocpVariables& v);

// The network GPS messages tablet navigation apps take on UDP 49002, as simulators send them
// (decimal point whatever the locale; the aircraft flies the circuit at kCircuitAltitudeM).
inline constexpr std::string_view kXgpsName = "simfeed";
inline constexpr double kCircuitAltitudeM = 1000;
// "XGPSsimfeed,<lon>,<lat>,<alt m>,<track>,<ground speed m/s>"
std::string xgps_datagram(const AircraftState& s, double ground_speed_ms);
// "XATTsimfeed,<heading>,<pitch>,<roll>", the roll of a coordinated turn at the turn rate.
std::string xatt_datagram(const AircraftState& s, double ground_speed_ms);

}  // namespace simfeed
