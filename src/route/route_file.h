#pragma once
// Route files: a header line with the flight plan's speed and consumption texts, then the route
// text ("longitude, latitude" lines). Texts only: the editor reads and writes the file.
#include <string>
#include <string_view>
#include <vector>

namespace tolvex {

// One point line of a route file, its two texts as they stand (the latitude's leading blank kept).
struct RouteFilePoint {
  std::string longitud;  // before the line's first comma
  std::string latitud;   // after it
};

struct RouteFileContents {
  bool tiene_cabecera = false;  // a line was taken as the header
  std::string velocidad;        // before the header's first '|'
  std::string consumo;          // after it (the whole line when it has no '|')
  std::vector<RouteFilePoint> puntos;  // the lines that are two numbers a map can place
  std::vector<int> no_puntos;          // numbers (from 1) of the lines that are not two numbers
  // The first line whose two numbers no map can place (not finite, a latitude beyond 90, a
  // longitude beyond 180), 0 when there is none: such a file is refused whole.
  int linea_invalida = 0;
  std::string texto_invalido;  // that line as it stands
};

// Reads a route file's text. Lines end at LF or CR LF; a CR not followed by LF is dropped. A line
// that is blank after trimming, or whose first character is '#', is skipped. The first line not
// skipped is the header; every later one is a point, or listed among the lines that are none.
RouteFileContents parse_route_file(std::string_view text);

// Why a file is refused ("" when it is not): names the line and shows it, cut to a sane length.
std::string route_file_refusal(const RouteFileContents& fichero);
// The lines that were passed over ("" when none), the first ten of them by number.
std::string route_file_skipped(const RouteFileContents& fichero);

// The file for a route: "velocidad|consumo" CR LF, the route text unchanged, CR LF.
std::string route_file_text(std::string_view velocidad, std::string_view consumo, std::string_view ruta);

// `path` with ".txt" appended when its file name has no extension.
std::string with_default_extension(std::string_view path);

}  // namespace tolvex
