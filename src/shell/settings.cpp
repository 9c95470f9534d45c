#include "shell/settings.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "base/number_format.h"
#include "base/outside_text.h"
#include "base/text_file.h"

namespace tolvex {
namespace {

constexpr std::string_view kInicio = "INICIO";
constexpr std::string_view kRuta = "RUTA";
constexpr std::string_view kRutaDin = "RUTADIN";
constexpr std::string_view kMapas = "MAPAS";
constexpr std::string_view kVentana = "VENTANA";
constexpr std::string_view kWeb = "WEB";

void note(std::vector<std::string>* notes, std::string text) {
  if (notes) notes->push_back(std::move(text));
}

// A hand-edited value in a log note, cut like any other outside text.
std::string quoted(const std::string& text) { return "\"" + quote_outside(text) + "\""; }

bool read_switch(const IniFile& ini, std::string_view section, std::string_view key, std::string_view def) {
  return ini.read_string(section, key, def) == "S";
}

// Integer with a default; a present but unusable value falls back and leaves a note.
std::int32_t read_int_noted(const IniFile& ini, std::string_view section, std::string_view key,
                            std::int32_t def, std::vector<std::string>* notes) {
  if (!ini.has_key(section, key)) return def;
  const std::string text = ini.read_string(section, key, "");
  if (auto value = parse_int32(text)) return *value;
  note(notes, std::string(key) + " de la sección " + std::string(section) + " no es un número entero (" +
                  quoted(text) + "); se usa " + std::to_string(def));
  return def;
}

// A port 1..65535; anything else falls back to `def` and leaves a note.
std::int32_t read_port(const IniFile& ini, std::string_view section, std::string_view key, std::int32_t def,
                       std::vector<std::string>* notes) {
  const std::string text = ini.read_string(section, key, std::to_string(def));
  const auto port = parse_int32(text);
  if (port && *port >= 1 && *port <= 65535) return *port;
  note(notes, std::string(key) + " no válido en CONFIG.INI (" + quoted(text) + "); se usa " + std::to_string(def));
  return def;
}

// A [VENTANA] key: nothing when missing; a present but unusable value leaves a note.
std::optional<std::int32_t> read_window_key(const IniFile& ini, std::string_view key, std::int32_t least,
                                            std::vector<std::string>* notes) {
  if (!ini.has_key(kVentana, key)) return std::nullopt;
  const std::string text = ini.read_string(kVentana, key, "");
  if (const auto value = parse_int32(text); value && *value >= least) return value;
  note(notes, std::string(key) + " de la sección VENTANA no válido (" + quoted(text) + "); no se usa");
  return std::nullopt;
}

void write_optional(IniFile& ini, std::string_view key, std::optional<std::int32_t> value) {
  if (value) ini.write_integer(kVentana, key, *value);
}

std::string lower_ascii(std::string text) {
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return text;
}

const char* sn(bool on) { return on ? "S" : "N"; }

void write_route_style(IniFile& ini, std::string_view section, std::int32_t ancho, std::int32_t color,
                       const std::string& trans) {
  ini.write_integer(section, "ANCHO", ancho);
  ini.write_integer(section, "COLOR", color);
  ini.write_string(section, "TRANS", trans);
}

}  // namespace

std::int32_t interval_ms_from_text(const std::string& text, char decimal_separator, bool* floored) {
  if (floored) *floored = false;
  // The configuration window stores a fraction with a comma whatever the locale, so the
  // other separator is accepted too.
  std::optional<double> seconds = parse_decimal(text, decimal_separator);
  if (!seconds) seconds = parse_decimal_any(text);
  // A negative interval is as unusable as a text: the configuration window never writes one.
  if (!seconds || std::isnan(*seconds) || *seconds < 0) return -1;
  const double ms = *seconds * 1000.0;
  if (ms > static_cast<double>(std::numeric_limits<std::int32_t>::max()) + 1.0) return -1;
  const auto rounded = parse_int32(format_pattern(std::max(ms, 0.0), "#0", '.'));
  if (!rounded) return -1;
  // A shorter interval would poll in a busy loop ("0,05" becomes "0,0" in the configuration window).
  if (*rounded < kMinIntervalMs) {
    if (floored) *floored = true;
    return kMinIntervalMs;
  }
  return *rounded;
}

void set_link_kind(Settings& s, LinkKind kind) {
  s.link_kind = kind;
  s.iocpserver = kind == LinkKind::iocp;
}

Settings load_settings(const IniFile& ini, char decimal_separator, std::vector<std::string>* notes) {
  Settings s;
  // INICIO, in the documented order.
  s.mapsize = read_int_noted(ini, kInicio, "SIZE", 0, notes);
  if (s.mapsize < 0 || s.mapsize > 3) {
    note(notes, "SIZE fuera de 0..3 (" + std::to_string(s.mapsize) + "); se usa 0");
    s.mapsize = 0;
  }
  s.MapaSK = read_switch(ini, kInicio, "TIPOMAPA", "N");
  // The chart service never runs in the adjustable window.
  if (s.mapsize == 3) s.MapaSK = false;
  s.Sonidos = read_switch(ini, kInicio, "SONIDOS", "S");
  s.auto_ = read_switch(ini, kInicio, "AUTOMAT", "N");

  const std::string puerto = ini.read_string(kInicio, "PUERTO", "8090");
  const auto port = parse_int32(puerto);
  if (port && *port >= 1 && *port <= 65535) {
    s.puerto = *port;
  } else {
    s.puerto = 8090;
    note(notes, "PUERTO no válido en CONFIG.INI (" + quoted(puerto) + "); se usa 8090");
  }
  s.dirip = ini.read_string(kInicio, "DIRIP", "127.0.0.1");
  if (s.dirip.empty()) {
    note(notes, "DIRIP vacío en CONFIG.INI; se usa 127.0.0.1");
    s.dirip = "127.0.0.1";
  }

  s.intervalorgm = ini.read_string(kInicio, "INTERVALO", "10");
  bool floored = false;
  s.intervalo_ms = interval_ms_from_text(s.intervalorgm, decimal_separator, &floored);
  if (s.intervalo_ms < 0) {
    note(notes, "INTERVALO no válido en CONFIG.INI (" + quoted(s.intervalorgm) + "); se usa 10");
    s.intervalorgm = "10";
    s.intervalo_ms = 10000;
  } else if (floored) {
    note(notes, "INTERVALO por debajo de 0,1 segundos en CONFIG.INI (" + quoted(s.intervalorgm) + "); se usa 0,1");
  }

  const std::string tipoconexion = ini.read_string(kInicio, "TIPOCONEXION", "F");
  set_link_kind(s, tipoconexion == "I" ? LinkKind::iocp : tipoconexion == "X" ? LinkKind::xgps : LinkKind::fsuipc);
  s.puertoudp = read_port(ini, kInicio, "PUERTOUDP", 49002, notes);
  s.debug = read_switch(ini, kInicio, "DEBUG", "N");
  s.puntosvfr = read_switch(ini, kInicio, "PUNTOSVFR", "N");
  s.xplane = read_switch(ini, kInicio, "XPLANE", "N");
  s.lespaciosaereos = read_switch(ini, kInicio, "VERAIRSPACES", "N");
  s.suave = read_switch(ini, kInicio, "SUAVE", "S");

  s.ruta_ancho = read_int_noted(ini, kRuta, "ANCHO", 4, notes);
  s.ruta_color = read_int_noted(ini, kRuta, "COLOR", 10, notes);
  s.ruta_trans = ini.read_string(kRuta, "TRANS", "1");
  s.ruta_visible = read_switch(ini, kRuta, "VIS", "N");

  s.rutadin_ancho = read_int_noted(ini, kRutaDin, "ANCHO", 4, notes);
  s.rutadin_color = read_int_noted(ini, kRutaDin, "COLOR", 10, notes);
  s.rutadin_trans = ini.read_string(kRutaDin, "TRANS", "1");

  s.velo = ini.read_string(kRuta, "VELOCIDAD", "120");
  s.cons = ini.read_string(kRuta, "CONSUMO", "12,5");

  MapSettings& m = s.maps;
  m.clave = ini.read_string(kMapas, "CLAVE", "");
  const std::string proveedor = lower_ascii(ini.read_string(kMapas, "PROVEEDOR", ""));
  if (proveedor == "osm" || proveedor == "google") {
    m.proveedor = proveedor;
  } else {
    m.proveedor = m.clave.empty() ? "osm" : "google";
    if (!proveedor.empty())
      note(notes, "PROVEEDOR no válido en CONFIG.INI (" + quoted(proveedor) + "); se usa " + m.proveedor);
  }
  m.google_js = ini.read_string(kMapas, "GOOGLEJS", kDefaultGoogleScript);
  m.teselas_normal = ini.read_string(kMapas, "TESELAS", "https://tile.openstreetmap.org/{z}/{x}/{y}.png");
  m.teselas_satelite = ini.read_string(
      kMapas, "TESELASSAT",
      "https://server.arcgisonline.com/ArcGIS/rest/services/World_Imagery/MapServer/tile/{z}/{y}/{x}");
  m.teselas_hibrido = ini.read_string(kMapas, "TESELASHIB",
                                      "https://server.arcgisonline.com/ArcGIS/rest/services/Reference/"
                                      "World_Boundaries_and_Places/MapServer/tile/{z}/{y}/{x}");
  m.teselas_relieve = ini.read_string(kMapas, "TESELASREL", "https://tile.opentopomap.org/{z}/{x}/{y}.png");
  m.skyvector = ini.read_string(kMapas, "SKYVECTOR", "skyvector.com");
  m.marca_naranja = ini.read_string(kMapas, "MARCANARANJA", "mm_20_orange.png");
  m.marca_azul = ini.read_string(kMapas, "MARCAAZUL", "mm_20_blue.png");
  m.marca_roja = ini.read_string(kMapas, "MARCAROJA", "mm_20_red.png");
  m.elevacion =
      ini.read_string(kMapas, "ELEVACION", "https://api.open-meteo.com/v1/elevation?latitude={lat}&longitude={lng}");
  m.geocodificador = ini.read_string(kMapas, "GEOCODIFICADOR",
                                     "https://nominatim.openstreetmap.org/search?format=json&limit=5&q={query}");

  constexpr std::int32_t kAnyCorner = std::numeric_limits<std::int32_t>::min();
  s.ventana.izquierda = read_window_key(ini, "IZQUIERDA", kAnyCorner, notes);
  s.ventana.arriba = read_window_key(ini, "ARRIBA", kAnyCorner, notes);
  s.ventana.ancho = read_window_key(ini, "ANCHO", 1, notes);
  s.ventana.alto = read_window_key(ini, "ALTO", 1, notes);

  s.servidor_web = read_switch(ini, kWeb, "SERVIDOR", "N");
  s.puertoweb = read_port(ini, kWeb, "PUERTOWEB", 8091, notes);
  s.claveweb = ini.read_string(kWeb, "CLAVEWEB", "");
  return s;
}

void save_web_key(IniFile& ini, const std::string& key) {
  ini.write_string(kWeb, "CLAVEWEB", key);
  ini.flush();
}

void save_preferences(IniFile& ini, const Settings& s) {
  ini.write_string(kInicio, "TIPOMAPA", sn(s.MapaSK));
  ini.write_string(kInicio, "SONIDOS", sn(s.Sonidos));
  ini.write_string(kInicio, "AUTOMAT", sn(s.auto_));
  ini.write_string(kInicio, "PUNTOSVFR", sn(s.puntosvfr));
  ini.write_string(kInicio, "XPLANE", sn(s.xplane));
  write_route_style(ini, kRuta, s.ruta_ancho, s.ruta_color, s.ruta_trans);
  ini.write_string(kRuta, "VIS", sn(s.ruta_visible));
  write_route_style(ini, kRutaDin, s.rutadin_ancho, s.rutadin_color, s.rutadin_trans);
  // A blank field in the route editor keeps what the file holds.
  if (const auto velo = trim(s.velo); !velo.empty()) ini.write_string(kRuta, "VELOCIDAD", velo);
  if (const auto cons = trim(s.cons); !cons.empty()) ini.write_string(kRuta, "CONSUMO", cons);
  write_optional(ini, "IZQUIERDA", s.ventana.izquierda);
  write_optional(ini, "ARRIBA", s.ventana.arriba);
  write_optional(ini, "ANCHO", s.ventana.ancho);
  write_optional(ini, "ALTO", s.ventana.alto);
  ini.flush();
}

void save_configuration(IniFile& ini, const Settings& s, std::int32_t tipog) {
  const bool xgps = !s.iocpserver && s.link_kind == LinkKind::xgps;
  ini.write_string(kInicio, "TIPOCONEXION", s.iocpserver ? "I" : xgps ? "X" : "F");
  ini.write_integer(kInicio, "PUERTO", s.puerto);
  ini.write_string(kInicio, "DIRIP", s.dirip);
  if (xgps) ini.write_integer(kInicio, "PUERTOUDP", s.puertoudp);
  ini.write_string(kInicio, "TIPOMAPA", sn(s.MapaSK));
  ini.write_string(kInicio, "SONIDOS", sn(s.Sonidos));
  ini.write_string(kInicio, "AUTOMAT", sn(s.auto_));
  ini.write_string(kInicio, "PUNTOSVFR", sn(s.puntosvfr));
  if (s.xplane) ini.write_string(kInicio, "XPLANE", "S");
  else ini.delete_key(kInicio, "XPLANE");
  ini.write_string(kInicio, "VERAIRSPACES", sn(s.lespaciosaereos));
  write_route_style(ini, kRutaDin, s.rutadin_ancho, s.rutadin_color, s.rutadin_trans);
  write_route_style(ini, kRuta, s.ruta_ancho, s.ruta_color, s.ruta_trans);
  ini.write_string(kRuta, "VIS", sn(s.ruta_visible));
  ini.write_integer(kInicio, "SIZE", s.mapsize);
  ini.write_integer(kInicio, "TIPOG", tipog);
  ini.write_string(kInicio, "INTERVALO", s.intervalorgm);
  ini.write_string(kInicio, "SUAVE", sn(s.suave));
  ini.write_string(kWeb, "SERVIDOR", sn(s.servidor_web));
  ini.write_integer(kWeb, "PUERTOWEB", s.puertoweb);
  ini.flush();
}

void write_first_settings(const std::string& path, const std::string& comment, const Settings& s) {
  // The two saves write every key the program keeps, so a key added to them lands here too.
  IniFile ini = IniFile::from_text(path, encode_text("; " + comment + "\r\n", platform_text_encoding()));
  save_configuration(ini, s, 1);
  save_preferences(ini, s);
  ini.write_string(kInicio, "DEBUG", sn(s.debug));
  ini.flush();
}

}  // namespace tolvex
