#include "route/flight_plan.h"

#include <vector>

#include "base/number_format.h"
#include "route/route_page_builder.h"

namespace tolvex {

std::string_view flight_plan_message(FlightPlanError error) {
  switch (error) {
    case FlightPlanError::sin_ruta: return "Error. Debe crear primero la ruta de vuelo";
    case FlightPlanError::sin_longitud: return "Error. No hay sido posible calcular la longitud de la ruta";
    default: return {};
  }
}

FlightPlanOutcome calcular_plan_vuelo(FlightPlanPage& page, int multiplicador) {
  FlightPlanOutcome out;
  page.run("cargaDatos();");
  page.run("calcularRuta();");
  std::string muestras = page.read("PuntosRuta");
  if (trim(muestras).empty()) {
    out.error = FlightPlanError::sin_ruta;
    return out;
  }
  out.longitud = page.read("Longitud");
  if (trim(out.longitud).empty()) {
    out.error = FlightPlanError::sin_longitud;
    return out;
  }

  if (multiplicador >= 2) {
    page.run("NumeroVertices();");
    // The page always writes the count; should it not, the vertices alone are the samples.
    if (const auto vertices = parse_int32(trim(page.read("Listo")))) {
      const long long k = static_cast<long long>(*vertices) * multiplicador - 3;
      page.run("AddPT(" + std::to_string(k) + ");");
      muestras = page.read("PuntosRuta");
    }
  }

  // The field's line breaks may come back as CR LF: the latitude goes whole, without the CR.
  std::vector<std::string_view> lineas;
  for (std::string_view resto = muestras; !resto.empty();) {
    const auto lf = resto.find('\n');
    std::string_view linea = resto.substr(0, lf);
    resto = lf == std::string_view::npos ? std::string_view() : resto.substr(lf + 1);
    while (!linea.empty() && linea.back() == '\r') linea.remove_suffix(1);
    if (!trim(linea).empty()) lineas.push_back(linea);
  }

  int n = 0;
  for (const std::string_view linea : lineas) {
    if (!page.progreso(++n, static_cast<int>(lineas.size()))) {
      out.error = FlightPlanError::cancelado;
      return out;
    }
    const auto coma = linea.find(',');
    const std::string_view longitud = coma == std::string_view::npos ? std::string_view() : linea.substr(0, coma);
    const std::string_view latitud = coma == std::string_view::npos ? linea : linea.substr(coma + 1);
    const std::string statement = dime_altura_statement(latitud, longitud);
    std::string listo;
    if (!statement.empty()) {
      page.run(statement);
      listo = page.read("Listo");
      for (int pausas = 0; listo != "1" && listo != "-1" && pausas < kMaxPausas; ++pausas) {
        if (!page.esperar(kPausaMs)) {
          out.error = FlightPlanError::cancelado;
          return out;
        }
        listo = page.read("Listo");
      }
    }
    out.alturas += trim(listo) == "1" ? page.read("PuntosRuta") : std::string(kSinAltura);
  }
  return out;
}

}  // namespace tolvex
