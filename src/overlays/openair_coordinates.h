#pragma once
// Points of standard OpenAir files: degrees and minutes with hemisphere letters
// ("50:06:11 N 015:14:37 E", "43:32:49.0N 080:12:30.0W", "15:40.365 S 34:54.992 E").
#include <optional>
#include <string_view>

namespace tolvex {

struct PuntoGeo {
  double lat = 0;  // degrees, north positive
  double lon = 0;  // degrees, east positive
  bool operator==(const PuntoGeo&) const = default;
};

// Latitude then longitude, each D:M, D:M.m, D:M:S or D:M:S.s followed by its hemisphere letter
// (N/S, then E/W; blanks optional). Nothing else may follow. Empty when the text is not of
// that form or a value is out of range (minutes or seconds above 60, beyond 90 / 180).
std::optional<PuntoGeo> leer_punto_openair(std::string_view text);

}  // namespace tolvex
