#include "dialogs/config_rules.h"

#include "base/number_format.h"
#include "base/outside_text.h"

namespace tolvex {

namespace {

std::string quoted(std::string_view typed) { return "\"" + quote_outside(typed) + "\""; }

// A port field: the number when it is a port, else the fallback, with the reason when the pilot
// sees the field. `name` is "puerto" or "puerto UDP".
std::int32_t decide_port(std::string_view typed, std::int32_t fallback, const std::string& name, bool shown,
                         std::vector<std::string>& avisos) {
  if (const auto port = parse_int32(typed); port && *port >= 1 && *port <= 65535) return *port;
  if (shown) {
    const std::string saved = " Se ha guardado " + std::to_string(fallback) + ".";
    if (trim(typed).empty())
      avisos.push_back("No se ha indicado el " + name + "." + saved);
    else
      avisos.push_back("P" + name.substr(1) + " " + quoted(typed) + " no válido: debe ser un número entero de 1 a 65535." +
                       saved);
  }
  return fallback;
}

bool is_ipv6(std::string_view text) {
  if (text.size() > 45) return false;
  int colons = 0;
  for (char ch : text) {
    const bool hex = (ch >= '0' && ch <= '9') || (ch >= 'a' && ch <= 'f') || (ch >= 'A' && ch <= 'F');
    if (ch == ':') ++colons;
    else if (!hex && ch != '.') return false;
  }
  return colons >= 2 && colons <= 7 && text.find(":::") == std::string_view::npos;
}

bool is_host_name(std::string_view text) {
  if (text.empty() || text.size() > 253) return false;
  std::size_t from = 0;
  while (true) {
    const std::size_t point = text.find('.', from);
    const std::string_view label = text.substr(from, point == std::string_view::npos ? std::string_view::npos : point - from);
    if (label.empty() || label.size() > 63 || label.front() == '-' || label.back() == '-') return false;
    for (char ch : label) {
      const bool ok = (ch >= '0' && ch <= '9') || (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') || ch == '-' ||
                      ch == '_';
      if (!ok) return false;
    }
    if (point == std::string_view::npos) return true;
    from = point + 1;
  }
}

}  // namespace

std::string normalizar_intervalo(std::string_view text) {
  std::string s(text);
  if (const auto point = s.find('.'); point != std::string::npos) s[point] = ',';
  const std::optional<double> value = parse_decimal(s, ',');
  if (!value || !(*value > 0)) return "1";
  // "0,05" is cut to "0,0": the poll timer never goes below its floor of a tenth of a second.
  if (const auto comma = s.find(','); comma != std::string::npos && s.size() - comma - 1 > 1) s.resize(comma + 2);
  return s;
}

std::string aviso_intervalo(std::string_view text) {
  std::string s(text);
  if (const auto point = s.find('.'); point != std::string::npos) s[point] = ',';
  const std::optional<double> value = parse_decimal(s, ',');
  if (value && *value > 0) return {};
  const std::string why = value ? "debe ser mayor que cero" : "debe ser un número de segundos, como 3 o 1,5";
  if (trim(text).empty()) return "No se ha indicado el intervalo de actualización. Se usa 1 segundo.";
  return "Intervalo de actualización " + quoted(text) + " no válido: " + why + ". Se usa 1 segundo.";
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

bool is_valid_host(std::string_view text) {
  if (text.find_first_not_of("0123456789.") == std::string_view::npos) return direccion_valida(text);
  if (text.find(':') != std::string_view::npos) return is_ipv6(text);
  return is_host_name(text);
}

ConfigDecision decidir_configuracion(const ConfigChoice& c) {
  ConfigDecision d;
  d.iocpserver = c.iocp;
  d.xgps = !c.iocp && c.xgps;
  const std::string_view dirip = trim(c.dirip);
  if (is_valid_host(dirip)) {
    d.dirip = std::string(dirip);
  } else if (d.iocpserver) {
    d.avisos.push_back(dirip.empty() ? "No se ha indicado la dirección del equipo del Flight Simulator. Se ha guardado "
                                       "127.0.0.1."
                                     : "Dirección " + quoted(c.dirip) +
                                           " no válida: debe ser una dirección IP (como 192.168.0.5) o un nombre de "
                                           "equipo. Se ha guardado 127.0.0.1.");
  }
  // A number the link can never open would only fall back at the next start.
  d.puerto = decide_port(c.puerto, 8090, "puerto", d.iocpserver, d.avisos);
  d.puertoudp = decide_port(c.puertoudp, 49002, "puerto UDP", d.xgps, d.avisos);
  d.servidor_web = c.servidor_web;
  d.puertoweb = decide_port(c.puertoweb, 8091, "puerto de la vista en tableta", d.servidor_web, d.avisos);
  if (!c.aviso_intervalo.empty()) d.avisos.push_back(c.aviso_intervalo);
  d.MapaSK = c.skyvector;
  d.Sonidos = c.sonidos;
  d.auto_ = c.automat;
  d.puntosvfr = c.puntos;
  d.xplane = c.xplane;
  d.lespaciosaereos = c.espacios;
  d.suave = c.suave;
  if (!c.ancho.empty()) {
    if (const auto ancho = parse_int32(c.ancho); ancho && *ancho >= 1) {
      d.rutadin_ancho = *ancho;
    } else {
      d.rutadin_ancho = 4;
      d.avisos.push_back("Ancho de la línea de ruta dinámica " + quoted(c.ancho) +
                         " no válido: debe ser un número entero mayor que cero. Se ha guardado 4.");
    }
  }
  d.rutadin_color = c.color >= 0 ? c.color : 10;
  d.rutadin_trans = c.trans.empty() ? std::string("1") : c.trans;
  d.ruta_visible = c.ruta;
  if (c.tamano >= 0 && c.tamano <= 3) d.mapsize = c.tamano;
  if (c.tipog >= 0 && c.tipog <= 3) d.tipogooglemap = c.tipog + 1;
  d.intervalo = parse_decimal_any(c.intervalo) ? c.intervalo : std::string("10");
  return d;
}

std::string aviso_reinicio(const LinkSettings& running, const ConfigDecision& d) {
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
