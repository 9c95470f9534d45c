#include "route/route_file.h"

#include "base/number_format.h"

namespace tolvex {

RouteFileContents parse_route_file(std::string_view text) {
  RouteFileContents out;
  std::string line;
  const auto take_line = [&out, &line] {
    if (!trim(line).empty() && line.front() != '#') {
      if (!out.tiene_cabecera) {
        out.tiene_cabecera = true;
        const auto bar = line.find('|');
        if (bar == std::string::npos) {
          out.consumo = line;
        } else {
          out.velocidad = line.substr(0, bar);
          out.consumo = line.substr(bar + 1);
        }
      } else {
        const auto comma = line.find(',');
        if (comma == std::string::npos)
          out.puntos.push_back({std::string(), line});
        else
          out.puntos.push_back({line.substr(0, comma), line.substr(comma + 1)});
      }
    }
    line.clear();
  };
  for (char c : text) {
    if (c == '\n')
      take_line();
    else if (c != '\r')  // part of CR LF, or a lone CR: dropped either way
      line += c;
  }
  take_line();
  return out;
}

std::string route_file_text(std::string_view velocidad, std::string_view consumo, std::string_view ruta) {
  std::string s;
  s.reserve(velocidad.size() + consumo.size() + ruta.size() + 5);
  s += velocidad;
  s += '|';
  s += consumo;
  s += "\r\n";
  s += ruta;
  s += "\r\n";
  return s;
}

std::string with_default_extension(std::string_view path) {
  const auto name_start = path.find_last_of("/\\");
  const std::string_view name = name_start == std::string_view::npos ? path : path.substr(name_start + 1);
  if (name.find('.') != std::string_view::npos) return std::string(path);
  return std::string(path) + ".txt";
}

}  // namespace tolvex
