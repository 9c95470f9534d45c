#include "map/view_statements.h"

#include <limits>

#include "map/colour_table.h"
#include "map/script_escape.h"
#include "base/number_format.h"

namespace tolvex {

std::string mueve_avion_statement(double latitud, double longitud, std::int32_t heading, bool follow) {
  const std::string lat = script_number(latitud);
  const std::string lon = script_number(longitud);
  if (lat.empty() || lon.empty()) return {};
  std::string s = "MueveAvion(";
  s += lat;
  s += ',';
  s += lon;
  s += ',';
  s += std::to_string(heading);
  s += follow ? ",1);" : ",0);";
  return s;
}

std::optional<std::int32_t> zoom_in_fragment(std::string_view fragment) {
  constexpr std::string_view kKey = "zoom=";
  if (!fragment.starts_with(kKey)) return std::nullopt;
  const std::string_view digits = fragment.substr(kKey.size());
  if (digits.empty() || digits.size() > 2) return std::nullopt;
  std::int32_t zoom = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return std::nullopt;
    zoom = zoom * 10 + (c - '0');
  }
  if (zoom < 1 || zoom > 21) return std::nullopt;
  return zoom;
}

std::string map_type_statement(std::int32_t tipogooglemap) {
  static constexpr std::string_view names[] = {"ROADMAP", "HYBRID", "SATELLITE", "TERRAIN"};
  if (tipogooglemap < 1 || tipogooglemap > 4) return {};
  std::string s = "map.setMapTypeId(google.maps.MapTypeId.";
  s += names[tipogooglemap - 1];
  s += ");";
  return s;
}

std::string point_call_statement(std::string_view function, std::string_view latitud, std::string_view longitud) {
  if (!is_plain_number(latitud) || !is_plain_number(longitud)) return {};
  std::string s(function);
  s += '(';
  s += latitud;
  s += ',';
  s += longitud;
  s += ')';
  return s;
}

std::string agregar_punto_statement(std::string_view latitud, std::string_view longitud) {
  return point_call_statement("AgregarPunto", latitud, longitud);
}

RoutePoints route_points(std::string_view ruta_ruta) {
  RoutePoints out;
  int line_number = 0;
  while (!ruta_ruta.empty()) {
    ++line_number;
    const auto lf = ruta_ruta.find('\n');
    std::string_view line = ruta_ruta.substr(0, lf);
    ruta_ruta = lf == std::string_view::npos ? std::string_view() : ruta_ruta.substr(lf + 1);
    if (line.ends_with('\r')) line.remove_suffix(1);
    if (trim(line).empty()) continue;

    // Longitude before the first comma, latitude after it.
    const auto comma = line.find(',');
    const std::string_view longitude = comma == std::string_view::npos ? std::string_view() : line.substr(0, comma);
    const std::string_view latitude = comma == std::string_view::npos ? line : line.substr(comma + 1);
    if (is_plain_number(latitude) && is_plain_number(longitude))
      out.points.push_back({latitude, longitude});
    else
      out.skipped_lines.push_back(line_number);
  }
  return out;
}

RoutePointStatements route_point_statements(std::string_view ruta_ruta) {
  RoutePoints points = route_points(ruta_ruta);
  RoutePointStatements out;
  out.statements.reserve(points.points.size());
  for (const RoutePointTexts& p : points.points) out.statements.push_back(agregar_punto_statement(p.latitud, p.longitud));
  out.skipped_lines = std::move(points.skipped_lines);
  return out;
}

std::string cambiar_linea_statement(std::int32_t ruta_ancho, std::int32_t ruta_color, std::string_view ruta_trans) {
  std::string s = "cambiarLinea(";
  s += std::to_string(ruta_ancho);
  s += ',';
  s += quote_single(colour_by_index(ruta_color));
  s += ',';
  s += is_plain_number(ruta_trans) ? ruta_trans : std::string_view("1");
  s += ");";
  return s;
}

bool route_is_empty(std::string_view ruta_ruta) { return trim(ruta_ruta).empty(); }

std::int32_t chart_zoom_in(std::int32_t ZoomSK) {
  return ZoomSK == std::numeric_limits<std::int32_t>::max() ? ZoomSK : ZoomSK + 1;
}

std::int32_t chart_zoom_out(std::int32_t ZoomSK) { return ZoomSK > 1 ? ZoomSK - 1 : ZoomSK; }

}  // namespace tolvex
