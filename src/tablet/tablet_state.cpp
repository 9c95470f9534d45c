#include "tablet/tablet_state.h"

#include <charconv>
#include <cmath>

#include "base/number_format.h"
#include "map/colour_table.h"
#include "map/map_page_builder.h"
#include "map/script_escape.h"
#include "map/view_statements.h"
#include "overlays/airspace_drawing.h"
#include "overlays/vfr_points.h"

namespace tolvex {
namespace {

// A plain number (script_escape.h) as JSON writes it; empty when it is not a finite number.
std::string json_number(std::string_view plain) {
  plain = trim(plain);
  if (!plain.empty() && plain.front() == '+') plain.remove_prefix(1);
  double value = 0;
  const auto result = std::from_chars(plain.data(), plain.data() + plain.size(), value);
  if (result.ec != std::errc() || result.ptr != plain.data() + plain.size() || !std::isfinite(value)) return {};
  return script_number(value);
}

std::string style_fields(const LineStyle& style) {
  std::string colour = colour_by_index(style.color);
  if (colour.empty()) colour = "#000000";
  std::string opacity = json_number(style.trans);
  if (opacity.empty()) opacity = "1";
  return R"("color":)" + quote_double(colour) + R"(,"ancho":)" + std::to_string(style.ancho) + R"(,"opacidad":)" +
         opacity;
}

// "[lng,lat]" of a point line's text after "DP", or empty.
std::string outline_point(std::string_view point_text) {
  if (!punto_valido(point_text)) return {};
  const std::size_t comma = point_text.find(',');
  const std::string lng = json_number(point_text.substr(0, comma));
  const std::string lat = json_number(point_text.substr(comma + 1));
  if (lng.empty() || lat.empty()) return {};
  return "[" + lng + "," + lat + "]";
}

// "[[[lng,lat],...],...]": the runs of consecutive valid point lines; empty when none.
std::string outline_pieces(const std::vector<std::string>& dibujos) {
  std::string pieces;
  bool open = false;
  for (const std::string& line : dibujos) {
    const std::string point = line.starts_with("DP") ? outline_point(std::string_view(line).substr(2)) : std::string();
    if (point.empty()) {
      if (open) pieces += ']';
      open = false;
      continue;
    }
    pieces += open ? "," : pieces.empty() ? "[[" : ",[";
    pieces += point;
    open = true;
  }
  if (pieces.empty()) return {};
  if (open) pieces += ']';
  return pieces + "]";
}

// "[[[lng,lat],...]]": one piece, the whole outline.
std::string outline_of(const std::vector<PuntoGeo>& contorno) {
  std::string piece = "[[";
  piece.reserve(contorno.size() * 24 + 4);
  for (std::size_t i = 0; i < contorno.size(); ++i) {
    piece += i ? ",[" : "[";
    append_coordinate(piece, contorno[i].lon);
    piece += ',';
    append_coordinate(piece, contorno[i].lat);
    piece += ']';
  }
  return piece + "]]";
}

}  // namespace

std::string map_section(std::int32_t tipogooglemap, bool seguir, bool suave) {
  std::string type = map_type_name(tipogooglemap);
  if (type.empty()) type = map_type_name(1);
  return R"({"tipo":)" + quote_double(type) + R"(,"seguir":)" + (seguir ? "true" : "false") + R"(,"suave":)" +
         (suave ? "true" : "false") + "}";
}

std::string aircraft_section(const std::optional<TabletSample>& sample, bool datos) {
  std::string section = datos ? R"({"datos":true)" : R"({"datos":false)";
  if (sample) {
    const std::string lat = script_number(sample->latitud);
    const std::string lng = script_number(sample->longitud);
    if (!lat.empty() && !lng.empty())
      section += R"(,"lat":)" + lat + R"(,"lng":)" + lng + R"(,"hdg":)" + std::to_string(sample->heading);
  }
  return section + "}";
}

std::string route_section(bool ruta_visible, std::string_view ruta_ruta, const LineStyle& style) {
  if (!ruta_visible) return "null";
  std::string points;
  for (const RoutePointTexts& p : route_points(ruta_ruta).points) {
    const std::string lat = json_number(p.latitud);
    const std::string lng = json_number(p.longitud);
    if (lat.empty() || lng.empty()) continue;
    points += points.empty() ? "[" : ",";
    points += "[" + lat + "," + lng + "]";
  }
  if (points.empty()) return "null";
  return R"({"puntos":)" + points + "]," + style_fields(style) + "}";
}

std::string dynamic_route_section(const std::optional<std::pair<double, double>>& punto, const LineStyle& style) {
  if (!punto) return "null";
  const std::string lat = script_number(punto->first);
  const std::string lng = script_number(punto->second);
  if (lat.empty() || lng.empty()) return "null";
  return R"({"lat":)" + lat + R"(,"lng":)" + lng + "," + style_fields(style) + "}";
}

std::string airspaces_section(const AirspaceCatalogue& catalogue, bool shown) {
  if (!shown) return "[]";
  std::string section = "[";
  for (const TAirSpace& a : catalogue) {
    if (!a.visible) continue;
    // A standard file's record has its whole outline, arcs and circles sampled; a record of the
    // decimal dialect has its runs of point lines.
    const std::string pieces = a.contorno.empty() ? outline_pieces(a.dibujos) : outline_of(a.contorno);
    if (pieces.empty()) continue;
    if (section.size() > 1) section += ',';
    section += R"({"nombre":)" + quote_double(a.AN) + R"(,"etiqueta":)" + quote_double(clase_etiqueta(a.AC)) +
               R"(,"color":)" + quote_double(a.color_pluma.empty() ? color_espacio(a.SP) : a.color_pluma) +
               R"(,"grosor":)" + std::to_string(a.grosor > 0 ? a.grosor : kGrosorUsual) + R"(,"trozos":)" + pieces +
               "}";
  }
  return section + "]";
}

std::string vfr_section(std::string_view points_file_text, bool shown) {
  if (!shown) return "[]";
  std::string section = "[";
  const std::vector<VfrPoint> points = parse_vfr_points(points_file_text);
  const std::vector<int> zooms = vfr_point_min_zooms(points);
  for (std::size_t i = 0; i < points.size(); ++i) {
    if (section.size() > 1) section += ',';
    section += R"({"nombre":)" + quote_double(points[i].label) + R"(,"lat":)" + points[i].latitud + R"(,"lng":)" +
               points[i].longitud + R"(,"zoom":)" + std::to_string(zooms[i]) + "}";
  }
  return section + "]";
}

}  // namespace tolvex
