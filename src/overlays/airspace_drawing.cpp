#include "overlays/airspace_drawing.h"

#include "map/colour_table.h"
#include "map/script_escape.h"
#include "overlays/airspace_catalogue.h"
#include "base/number_format.h"

namespace tolvex {

namespace {

constexpr std::string_view kColorSinPluma = "#FF0000";
constexpr std::string_view kColorDesconocido = "#0000FF";

bool is_point_line(std::string_view line) {
  return line.size() >= 2 && line[0] == 'D' && line[1] == 'P' && punto_valido(line.substr(2));
}

}  // namespace

std::string color_espacio(std::string_view sp) {
  if (sp.empty()) return std::string(kColorSinPluma);
  std::string_view rest = sp;
  for (int field = 0; field < 2; ++field) {
    const std::size_t comma = rest.find(',');
    if (comma != std::string_view::npos) rest.remove_prefix(comma + 1);
  }
  if (auto value = colour_by_name(trim(rest))) return *value;
  return std::string(kColorDesconocido);
}

bool punto_valido(std::string_view point_text) {
  const std::size_t comma = point_text.find(',');
  if (comma == std::string_view::npos) return false;
  return is_plain_number(point_text.substr(0, comma)) && is_plain_number(point_text.substr(comma + 1));
}

std::vector<std::string> ProcesaEspacioAereo(std::string_view carea, std::string_view nombre,
                                             std::string_view sp,
                                             const std::vector<std::string>& dibujo, bool lnuevo) {
  std::vector<std::string> statements;
  const std::size_t count = dibujo.size();
  std::size_t i = 0;
  // Skip to the first point line before building the common head, so that records without
  // points (the usual case for arcs-only or empty records) cost nothing.
  while (i < count && !is_point_line(dibujo[i])) ++i;
  if (i == count) return statements;

  std::string head = lnuevo ? "NuevoPoligono(" : "AgregarPoligono(";
  head += quote_single(clase_etiqueta(carea) + "<br>");
  head += ',';
  head += quote_single(nombre);
  head += ',';
  head += quote_single(color_espacio(sp));
  head += ",[";

  while (i < count) {
    // A piece is a run of consecutive valid point lines; any other line ends it.
    // dibujo[i] is known to be a point line.
    std::size_t end = i + 1;
    std::size_t size = head.size() + dibujo[i].size() + 3;
    while (end < count && is_point_line(dibujo[end])) {
      size += dibujo[end].size() + 1;  // ",[" + text after "DP" + "]"
      ++end;
    }
    std::string statement;
    statement.reserve(size);
    statement += head;
    for (std::size_t k = i; k < end; ++k) {
      if (k != i) statement += ',';
      statement += '[';
      statement.append(dibujo[k], 2, std::string::npos);
      statement += ']';
    }
    statement += "]);";
    statements.push_back(std::move(statement));
    // dibujo[end], when there, is known not to be a point line.
    i = end + 1;
    while (i < count && !is_point_line(dibujo[i])) ++i;
  }
  return statements;
}

}  // namespace tolvex
