#include "route/route_file.h"

#include <cmath>
#include <optional>

#include "base/number_format.h"
#include "map/script_escape.h"

namespace tolvex {

namespace {

constexpr std::size_t kTextoMostrado = 80;  // of a refused line, in the message
constexpr std::size_t kLineasMostradas = 10;

enum class PointLine { punto, no_punto, invalido };

PointLine classify(std::string_view longitud, std::string_view latitud) {
  if (!is_plain_number(longitud) || !is_plain_number(latitud)) return PointLine::no_punto;
  const std::optional<double> lon = plain_number_value(longitud);
  const std::optional<double> lat = plain_number_value(latitud);
  if (!lon || !lat || std::fabs(*lat) > 90 || std::fabs(*lon) > 180) return PointLine::invalido;
  return PointLine::punto;
}

}  // namespace

RouteFileContents parse_route_file(std::string_view text) {
  RouteFileContents out;
  std::string line;
  int number = 0;
  const auto take_line = [&out, &line, &number] {
    ++number;
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
        RouteFilePoint p;
        if (comma == std::string::npos)
          p.latitud = line;
        else
          p = {line.substr(0, comma), line.substr(comma + 1)};
        switch (classify(p.longitud, p.latitud)) {
          case PointLine::punto: out.puntos.push_back(std::move(p)); break;
          case PointLine::no_punto: out.no_puntos.push_back(number); break;
          case PointLine::invalido:
            if (out.linea_invalida == 0) {
              out.linea_invalida = number;
              out.texto_invalido = line;
            }
            break;
        }
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
  if (!line.empty()) take_line();
  return out;
}

std::string route_file_refusal(const RouteFileContents& fichero) {
  if (fichero.linea_invalida == 0) return {};
  std::string texto(trim(fichero.texto_invalido));
  if (texto.size() > kTextoMostrado) texto = texto.substr(0, kTextoMostrado) + "...";
  return "No se ha cargado la ruta: la l\xC3\xADnea " + std::to_string(fichero.linea_invalida) +
         " del fichero tiene una coordenada que no es v\xC3\xA1lida (" + texto +
         "). La latitud va de -90 a 90 grados y la longitud de -180 a 180.";
}

std::string route_file_skipped(const RouteFileContents& fichero) {
  const std::vector<int>& lineas = fichero.no_puntos;
  if (lineas.empty()) return {};
  std::string s = lineas.size() == 1 ? "La l\xC3\xADnea " : "Las l\xC3\xADneas ";
  for (std::size_t i = 0; i < lineas.size() && i < kLineasMostradas; ++i) {
    if (i > 0) s += i + 1 == lineas.size() ? " y " : ", ";
    s += std::to_string(lineas[i]);
  }
  if (lineas.size() > kLineasMostradas) s += " y " + std::to_string(lineas.size() - kLineasMostradas) + " m\xC3\xA1s";
  s += lineas.size() == 1 ? " del fichero no es un punto (longitud, latitud) y no se ha cargado."
                          : " del fichero no son puntos (longitud, latitud) y no se han cargado.";
  return s;
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
