#include "overlays/airspace_drawing.h"

#include <charconv>

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
                                             const std::vector<std::string>& dibujo, bool lnuevo,
                                             std::string_view extra) {
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
    statement += ']';
    statement += extra;
    statement += ");";
    statements.push_back(std::move(statement));
    // dibujo[end], when there, is known not to be a point line.
    i = end + 1;
    while (i < count && !is_point_line(dibujo[i])) ++i;
  }
  return statements;
}

void append_coordinate(std::string& out, double value) {
  char buffer[32];
  const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 6);
  if (error != std::errc()) return;
  const char* last = end;
  while (last[-1] == '0') --last;
  if (last[-1] == '.') --last;
  std::string_view text(buffer, static_cast<std::size_t>(last - buffer));
  if (text == "-0") text = "0";
  out += text;
}

std::string info_espacio(const TAirSpace& a) {
  std::string info = "Límite superior: " + a.AH + "\nLímite inferior: " + a.AL;
  if (!a.AF.empty()) info += "\nFrecuencia: " + a.AF;
  if (!a.AG.empty()) info += (a.AF.empty() ? "\nEstación: " : " (") + a.AG + (a.AF.empty() ? "" : ")");
  return info;
}

std::vector<std::string> sentencias_espacio(const TAirSpace& a, bool lnuevo) {
  std::string extra = ",";
  extra += std::to_string(a.grosor > 0 ? a.grosor : kGrosorUsual);
  extra += ',';
  extra += quote_single(info_espacio(a));
  if (a.contorno.empty()) return ProcesaEspacioAereo(a.AC, a.AN, a.SP, a.dibujos, lnuevo, extra);

  std::string statement = lnuevo ? "NuevoPoligono(" : "AgregarPoligono(";
  statement += quote_single(clase_etiqueta(a.AC) + "<br>");
  statement += ',';
  statement += quote_single(a.AN);
  statement += ',';
  statement += quote_single(a.color_pluma.empty() ? color_espacio(a.SP) : a.color_pluma);
  statement += ",[";
  statement.reserve(statement.size() + a.contorno.size() * 24 + extra.size() + 4);
  for (std::size_t i = 0; i < a.contorno.size(); ++i) {
    if (i) statement += ',';
    statement += '[';
    append_coordinate(statement, a.contorno[i].lon);
    statement += ',';
    append_coordinate(statement, a.contorno[i].lat);
    statement += ']';
  }
  statement += ']';
  statement += extra;
  statement += ");";
  return {std::move(statement)};
}

}  // namespace tolvex
