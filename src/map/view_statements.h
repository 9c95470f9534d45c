#pragma once
// The one-line statements the main window runs in the map page between rebuilds, and the
// small rules of the view buttons. Texts only: the window sends them (one batch per statement).
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tolvex {

inline constexpr std::string_view mostrar_vfr_statement = "MostrarVFR(); ";
inline constexpr std::string_view ocultar_vfr_statement = "OcultarVFR();";
inline constexpr std::string_view clear_ruta_statement = "clearRuta();";
// Takes every airspace outline off the map (they are drawn again by NuevoPoligono).
inline constexpr std::string_view borrar_espacios_statement = "BorrarEspacios();";

// "MueveAvion(40.4168,-3.7038,275,1);" — general number form with a point; ",0);" when not
// following. Empty when a coordinate is not a finite number (nothing worth sending).
std::string mueve_avion_statement(double latitud, double longitud, std::int32_t heading, bool follow);

// The map page keeps the pilot's zoom in its address ("#zoom=12"): the zoom of a fragment
// "zoom=<1..21>", or nothing.
std::optional<std::int32_t> zoom_in_fragment(std::string_view fragment);

// tipogooglemap 1 ROADMAP, 2 HYBRID, 3 SATELLITE, 4 TERRAIN: "map.setMapTypeId(google.maps.MapTypeId.X);".
// Empty for any other number.
std::string map_type_statement(std::int32_t tipogooglemap);

// "<function>(lat,lon)" with the two texts as they stand (a leading blank kept), or empty when
// either is not a plain number: the one way a point read from a file or a page reaches a script.
std::string point_call_statement(std::string_view function, std::string_view latitud, std::string_view longitud);

// "AgregarPunto(lat,lon)", as above.
std::string agregar_punto_statement(std::string_view latitud, std::string_view longitud);

struct RoutePointTexts {
  std::string_view latitud, longitud;  // plain numbers, as written (a leading blank kept)
};
struct RoutePoints {
  std::vector<RoutePointTexts> points;  // the usable lines, in order
  std::vector<int> skipped_lines;       // 1-based numbers of non-blank lines that were not numbers
};

// The points of a route text (lines "longitude, latitude", each ended by LF; the last may lack
// it): only lines whose two texts are plain numbers. A CR before the LF belongs to the line
// end; blank lines are passed over. The texts point into ruta_ruta.
RoutePoints route_points(std::string_view ruta_ruta);

struct RoutePointStatements {
  std::vector<std::string> statements;  // one "AgregarPunto(lat,lon)" per usable line, in order
  std::vector<int> skipped_lines;       // 1-based numbers of non-blank lines that were not numbers
};

// The route's points (route_points) as AgregarPunto statements, texts as they stand: a route
// file can never put script into the page.
RoutePointStatements route_point_statements(std::string_view ruta_ruta);

// "cambiarLinea(4,'#000000',1);" — width, colour of the table (empty for an index outside it),
// opacity text as stored, or "1" when the stored text is not a plain number.
std::string cambiar_linea_statement(std::int32_t ruta_ancho, std::int32_t ruta_color, std::string_view ruta_trans);

// True when the route holds nothing but blanks (the route button then only clears its flag).
bool route_is_empty(std::string_view ruta_ruta);

// Chart zoom after the zoom buttons: in has no upper limit (short of overflow), out stops at 1.
std::int32_t chart_zoom_in(std::int32_t ZoomSK);
std::int32_t chart_zoom_out(std::int32_t ZoomSK);

}  // namespace tolvex
