#include "route/flight_plan_table.h"

#include <charconv>
#include <cmath>
#include <optional>

#include "base/number_format.h"

namespace tolvex {
namespace {

constexpr char kComa = ',';
constexpr double kPiesPorMetro = 3.2808399;

std::string puntos_a_comas(std::string_view texto) {
  std::string s(texto);
  for (char& c : s)
    if (c == '.') c = ',';
  return s;
}

// Characters, not bytes: the headers hold a "º".
std::size_t longitud_texto(std::string_view utf8) {
  std::size_t n = 0;
  for (char c : utf8)
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++n;
  return n;
}

std::optional<double> metros(std::string_view item) {
  std::string texto(trim(item));
  if (const auto punto = texto.find('.'); punto != std::string::npos) texto[punto] = kComa;
  if (auto value = parse_decimal(texto, kComa)) return value;
  // The page writes very small or large numbers with an exponent.
  const std::string_view t = trim(item);
  double value = 0;
  const auto r = std::from_chars(t.data(), t.data() + t.size(), value);
  if (r.ec == std::errc() && r.ptr == t.data() + t.size() && std::isfinite(value)) return value;
  return std::nullopt;
}

}  // namespace

const std::array<std::string_view, kColumnasPlan> kCabecerasPlan = {
    "Leg", "Hdg(\xC2\xBA)", "Dist.(NM)", "Ac.Dist.(NM)", "Time(h:m)", "Ac.Time(h:m)", "Fuel(gl)", "Ac.Fuel(gl)"};

std::string etiqueta_plan(std::string_view veloc, std::string_view consumo) {
  return "Velocidad media: " + std::string(veloc) + "    -   Consumo medio por hora: " + std::string(consumo);
}

std::string formato_hora(double horas) {
  const long long centesimas = std::llround(horas * 100);
  const long long h = centesimas / 100;
  const long long c = centesimas % 100;
  return format_pattern(static_cast<double>(h), "#00", kComa) + ":" +
         format_pattern(static_cast<double>(c) * 60 / 100, "#00", kComa);
}

std::vector<FilaPlan> rellenar_plan(std::string_view veloc, std::string_view consumo, std::string_view longitud) {
  std::vector<FilaPlan> filas;
  // No time at a speed that is not a whole number above zero.
  const std::int32_t nudos = veloc.empty() ? 0 : parse_int32(veloc).value_or(0);
  const std::optional<double> galones_hora = consumo.empty() ? std::nullopt : parse_decimal(consumo, kComa);
  double distancia_total = 0, tiempo_total = 0, combustible_total = 0;
  while (!longitud.empty()) {
    const auto lf = longitud.find('\n');
    std::string_view linea = longitud.substr(0, lf);
    longitud = lf == std::string_view::npos ? std::string_view() : longitud.substr(lf + 1);
    while (!linea.empty() && linea.back() == '\r') linea.remove_suffix(1);

    FilaPlan fila;
    fila[0] = std::to_string(filas.size() + 1);
    const auto barra = linea.find('|');
    fila[1] = barra == std::string_view::npos ? std::string() : std::string(linea.substr(barra + 1));
    fila[2] = puntos_a_comas(linea.substr(0, barra));
    // The page writes whole miles; anything else counts as no distance.
    const double d = parse_decimal(fila[2], kComa).value_or(0);
    distancia_total += d;
    fila[3] = format_pattern(distancia_total, "#.00", kComa);

    if (nudos > 0) {
      // Rounded to hundredths of an hour, as the time is shown and added up.
      const double t = parse_decimal(format_pattern(d / nudos, "#0.00", kComa), kComa).value_or(0);
      tiempo_total += t;
      fila[4] = formato_hora(t);
      fila[5] = formato_hora(tiempo_total);
      if (galones_hora) {
        fila[6] = format_pattern(*galones_hora * t, "#0.0", kComa);
        combustible_total += parse_decimal(fila[6], kComa).value_or(0);
        fila[7] = format_pattern(combustible_total, "#0.0", kComa);
      }
    }
    filas.push_back(std::move(fila));
  }
  return filas;
}

std::string alinear(std::string_view texto, std::size_t ancho) {
  const std::size_t n = longitud_texto(texto);
  if (n >= ancho) return std::string(texto);
  return std::string(ancho - n, ' ') + std::string(texto);
}

PerfilTerreno rellenar_perfil(std::string_view alturas) {
  PerfilTerreno perfil;
  int a = 0;
  while (!trim(alturas).empty()) {
    const auto barra = alturas.find('|');
    const std::string_view item = alturas.substr(0, barra);
    alturas = barra == std::string_view::npos ? std::string_view() : alturas.substr(barra + 1);
    ++a;
    if (trim(item) == "?") {
      ++perfil.sin_datos;
      continue;
    }
    double pies = 0;
    if (const auto m = metros(item)) {
      pies = std::nearbyint(*m * kPiesPorMetro);  // halves to the even neighbour
      if (pies > perfil.maximo_ft) perfil.maximo_ft = pies;
    }
    perfil.puntos.push_back({static_cast<double>(a), pies});
  }
  perfil.muestras = a;
  return perfil;
}

std::string aviso_perfil(const PerfilTerreno& perfil) {
  if (perfil.sin_datos == 0) return {};
  if (perfil.puntos.empty())
    return "El perfil no tiene datos del terreno: el servicio de elevaciones no ha respondido o ha rechazado "
           "las consultas.";
  return "Sin datos del terreno en " + std::to_string(perfil.sin_datos) + " de " + std::to_string(perfil.muestras) +
         " puntos (el servicio de elevaciones no ha respondido): el perfil muestra solo los dem\xC3\xA1s.";
}

double paso_eje(double rango, double paso_minimo, int marcas) {
  if (!std::isfinite(rango) || !(rango > 0) || !(paso_minimo > 0) || marcas < 1) return paso_minimo;
  for (double escala = paso_minimo;; escala *= 10)
    for (double factor : {1.0, 2.0, 5.0})
      if (rango / (escala * factor) <= marcas) return escala * factor;
}

std::string exportar_plan(const std::vector<FilaPlan>& filas) {
  std::string s = " Leg Hdg(\xC2\xBA) Dist.(NM) Ac.Dist.(NM) Time(h:m) Ac.Time(h:m) Fuel(gl) Ac.Fuel(gl)\r\n"
                  " --- ------ --------- ------------ --------- ------------ -------- -----------\r\n";
  for (const FilaPlan& fila : filas) {
    for (std::size_t c = 0; c < kColumnasPlan; ++c) {
      s += ' ';
      s += alinear(fila[c], longitud_texto(kCabecerasPlan[c]));
    }
    s += "\r\n";
  }
  return s;
}

}  // namespace tolvex
