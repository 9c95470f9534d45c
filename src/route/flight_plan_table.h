#pragma once
// The flight plan report's arithmetic: the table of legs with their running totals, the terrain
// profile in feet, and the exported text. Numbers use the decimal comma and no grouping.
#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace tolvex {

inline constexpr std::size_t kColumnasPlan = 8;
using FilaPlan = std::array<std::string, kColumnasPlan>;

// "Leg", "Hdg(º)", "Dist.(NM)", "Ac.Dist.(NM)", "Time(h:m)", "Ac.Time(h:m)", "Fuel(gl)", "Ac.Fuel(gl)".
extern const std::array<std::string_view, kColumnasPlan> kCabecerasPlan;

// "Velocidad media: 120    -   Consumo medio por hora: 12,5".
std::string etiqueta_plan(std::string_view veloc, std::string_view consumo);

// One row per line of `longitud` ("distance|heading" LF per leg): leg number, heading, distance,
// distance total "#.00", time and time total (formato_hora of times rounded to hundredths of an
// hour), fuel and fuel total "#0.0". Time columns stay empty when `veloc` is not a whole number
// above zero (no time at a speed of 0 or below), fuel columns when `consumo` is not a decimal number or there is no time.
std::vector<FilaPlan> rellenar_plan(std::string_view veloc, std::string_view consumo, std::string_view longitud);

// Decimal hours (whole hundredths) as "HH:MM": 1,5 h "01:30", 0,38 h "00:23", 2,01 h "02:01".
std::string formato_hora(double horas);

// `texto` with blanks in front up to `ancho` characters; a text that long or longer unchanged.
std::string alinear(std::string_view texto, std::size_t ancho);

struct PerfilTerreno {
  std::vector<std::array<double, 2>> puntos;  // (sample number 1, 2, ..., feet)
  int muestras = 0;                           // samples, with or without terrain
  int sin_datos = 0;                          // samples the elevation service gave nothing for
  double maximo_ft = 0;                       // the highest point, at least 0
  double eje_max_ft() const { return maximo_ft + 1000; }
};

// `alturas`: per sample the elevation in metres (decimal point) and '|'; "NaN" and anything that
// is not a number count as 0. Feet are rounded half to even. A sample without terrain ("?", what
// the computation writes when the service fails) gives no point: it is counted in sin_datos.
PerfilTerreno rellenar_perfil(std::string_view alturas);

// What the report says of samples without terrain ("" when every sample has it).
std::string aviso_perfil(const PerfilTerreno& perfil);

// A label step for an axis from 0 to `rango`: a multiple of `paso_minimo` (1, 2 or 5 times a
// power of ten of it) giving at most `marcas` steps.
double paso_eje(double rango, double paso_minimo, int marcas);

// RutaImp.txt: the header line, the rule line and one line per row, each right-aligned under its
// header and ended by CR LF.
std::string exportar_plan(const std::vector<FilaPlan>& filas);

}  // namespace tolvex
