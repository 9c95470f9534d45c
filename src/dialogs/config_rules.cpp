#include "dialogs/config_rules.h"

#include "base/number_format.h"

namespace tolvex {

std::string normalizar_intervalo(std::string_view text, char decimal_separator) {
  std::string s(text);
  if (const auto point = s.find('.'); point != std::string::npos) s[point] = ',';
  const std::optional<double> value = parse_decimal(s, decimal_separator);
  if (!value || !(*value > 0)) return "1";
  // "0,05" is cut to "0,0": the poll timer never goes below its floor of a tenth of a second.
  if (const auto comma = s.find(','); comma != std::string::npos && s.size() - comma - 1 > 1) s.resize(comma + 2);
  return s;
}

bool direccion_valida(std::string_view text) {
  int parts = 0;
  std::size_t from = 0;
  while (true) {
    const std::size_t point = text.find('.', from);
    const std::string_view part = text.substr(from, point == std::string_view::npos ? std::string_view::npos : point - from);
    if (part.empty()) return false;
    int value = 0;
    for (char ch : part) {
      if (ch < '0' || ch > '9') return false;
      value = value * 10 + (ch - '0');
      if (value > 255) return false;
    }
    ++parts;
    if (point == std::string_view::npos) break;
    from = point + 1;
  }
  return parts == 4;
}

ConfigDecision decidir_configuracion(const ConfigChoice& c, char decimal_separator) {
  ConfigDecision d;
  d.iocpserver = c.iocp;
  d.xgps = !c.iocp && c.xgps;
  // A number the link can never open would only fall back at the next start.
  if (const auto port = parse_int32(c.puerto); port && *port >= 1 && *port <= 65535) d.puerto = *port;
  if (const auto port = parse_int32(c.puertoudp); port && *port >= 1 && *port <= 65535) d.puertoudp = *port;
  if (direccion_valida(c.dirip)) d.dirip = c.dirip;
  d.MapaSK = c.skyvector;
  d.Sonidos = c.sonidos;
  d.auto_ = c.automat;
  d.puntosvfr = c.puntos;
  d.xplane = c.xplane;
  d.lespaciosaereos = c.espacios;
  d.suave = c.suave;
  if (!c.ancho.empty()) {
    const auto ancho = parse_int32(c.ancho);
    d.rutadin_ancho = ancho && *ancho >= 1 ? *ancho : 4;
  }
  d.rutadin_color = c.color >= 0 ? c.color : 10;
  d.rutadin_trans = c.trans.empty() ? std::string("1") : c.trans;
  d.ruta_visible = c.ruta;
  if (c.tamano >= 0 && c.tamano <= 3) d.mapsize = c.tamano;
  if (c.tipog >= 0 && c.tipog <= 3) d.tipogooglemap = c.tipog + 1;
  d.intervalo = parse_decimal(c.intervalo, decimal_separator) ? c.intervalo : std::string("10");
  return d;
}

std::string aviso_reinicio(const RunningLink& running, const ConfigDecision& d) {
  if (d.iocpserver != running.iocpserver || d.xgps != running.xgps)
    return "Los cambios en el modo de conexión no serán efectivos\nhasta que no reinicie la aplicación Tolvex.";
  if (d.dirip != running.host || d.puerto != running.port || (d.xgps && d.puertoudp != running.puertoudp))
    return "Los cambios en la configuración de IP o Puerto no serán efectivos\nhasta que no reinicie la "
           "aplicación Tolvex.";
  return {};
}

std::string posicion_actual(double latitud, double longitud) {
  return format_general(latitud, '.') + "," + format_general(longitud, '.');
}

std::string version_text(std::optional<std::pair<int, int>> version) {
  if (!version) return {};
  return "v" + format_pattern(version->first, "#0", '.') + "." + format_pattern(version->second, "00", '.');
}

}  // namespace tolvex
