#pragma once
// The sections of the state a tablet draws (tablet/tablet_messages.h), each built from what the
// main map shows. A section's value is JSON text; a section with nothing to show is null or [].
//   "mapa"     {"tipo":"ROADMAP","seguir":true,"suave":true}  base map, the main map's follow mode
//              and whether the aircraft glides between samples
//   "avion"    {"datos":true,"lat":..,"lng":..,"hdg":..} or {"datos":false,...}
//   "ruta"     null or {"puntos":[[lat,lng],...],"color":..,"ancho":..,"opacidad":..}
//   "rutadin"  null or {"lat":..,"lng":..,"color":..,"ancho":..,"opacidad":..}: the pilot's
//              dynamic route marker; the line runs from it to the aircraft
//   "espacios" [{"nombre":..,"etiqueta":..,"color":..,"grosor":..,"trozos":[[[lng,lat],...],...]}, ...]
//   "vfr"      [{"nombre":..,"lat":..,"lng":..,"zoom":..}, ...]: "zoom" the lowest zoom level at
//              which the point shows, as on the main map (labels never pile up)
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "overlays/airspace_catalogue.h"
#include "tablet/tablet_messages.h"

namespace tolvex {

inline constexpr char kSectionMapa[] = "mapa";
inline constexpr char kSectionAvion[] = "avion";
inline constexpr char kSectionRuta[] = "ruta";
inline constexpr char kSectionRutaDin[] = "rutadin";
inline constexpr char kSectionEspacios[] = "espacios";
inline constexpr char kSectionVfr[] = "vfr";

// A line's style as the pages take it: colour index of the colour table, width, opacity text.
struct LineStyle {
  std::int32_t ancho = 4;
  std::int32_t color = 10;
  std::string trans = "1";
};

// tipogooglemap 1..4 (anything else is the road map).
std::string map_section(std::int32_t tipogooglemap, bool seguir, bool suave);

// The last sample, and whether polls give data now. Without any sample: {"datos":false}.
std::string aircraft_section(const std::optional<TabletSample>& sample, bool datos);

// The stored route when shown: its usable points (map/view_statements.h route_points).
std::string route_section(bool ruta_visible, std::string_view ruta_ruta, const LineStyle& style);

// The dynamic route's own point (latitude, longitude), when the pilot has one on the main map.
std::string dynamic_route_section(const std::optional<std::pair<double, double>>& punto, const LineStyle& style);

// Every record marked visible, when airspaces are shown: its name, class label, outline colour
// and width, and its pieces as the main map draws them: the whole outline of a standard file's
// record, or each run of consecutive valid point lines.
std::string airspaces_section(const AirspaceCatalogue& catalogue, bool shown);

// The VFR points of a points file's text, when shown.
std::string vfr_section(std::string_view points_file_text, bool shown);

}  // namespace tolvex
