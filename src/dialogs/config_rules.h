#pragma once
// What the configuration window decides from its controls: the interval text, the address
// check, the values written to CONFIG.INI with their fallbacks, the restart notice.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tolvex {

// The controls as the pilot left them (texts as typed; -1 for a list with nothing chosen).
struct ConfigChoice {
  bool iocp = false;           // conecrg: "IOCP Server" chosen
  bool xgps = false;           // conecrg: "Red (XGPS)" chosen
  std::string dirip;           // Edit1
  std::string puerto;          // Edit2
  std::string puertoudp;       // the network link's UDP port
  bool skyvector = false;      // origen: "Skyvector" chosen
  std::int32_t tamano = -1;    // 0 "Normal" .. 3 "Ajustable"
  std::int32_t tipog = -1;     // 0 "Normal" .. 3 "Relieve"
  bool sonidos = false;
  bool automat = false;
  bool puntos = false;
  bool ruta = false;
  bool xplane = false;
  bool espacios = false;       // the hidden chkEspacios
  bool suave = false;          // "Movimiento suave"
  std::string intervalo;       // autoint, normalised
  std::string aviso_intervalo; // why the pilot's interval was replaced by "1" (empty: it was not)
  std::string ancho;           // Edit3
  std::int32_t color = -1;     // ComboBox1 index
  std::string trans;           // ComboBox2 text; empty: none chosen
  bool servidor_web = false;   // "Vista en tableta": the server on
  std::string puertoweb;       // its port, as typed
};

// The values that reach CONFIG.INI, fallbacks applied.
struct ConfigDecision {
  bool iocpserver = false;
  bool xgps = false;                // the network GPS link (TIPOCONEXION "X")
  std::int32_t puerto = 8090;
  std::int32_t puertoudp = 49002;
  std::string dirip = "127.0.0.1";
  bool MapaSK = false;
  bool Sonidos = false;
  bool auto_ = false;
  bool puntosvfr = false;
  bool xplane = false;
  bool lespaciosaereos = false;
  bool suave = true;
  std::optional<std::int32_t> rutadin_ancho;  // nullopt: the field was empty, keep the value
  std::int32_t rutadin_color = 10;
  std::string rutadin_trans = "1";
  bool ruta_visible = false;
  std::optional<std::int32_t> mapsize;        // nullopt: nothing chosen
  std::optional<std::int32_t> tipogooglemap;  // 1..4; nullopt: nothing chosen
  std::string intervalo = "10";
  bool servidor_web = false;
  std::int32_t puertoweb = 8091;
  // One Spanish sentence per typed value that was replaced by its fallback: which value was
  // saved instead, and why. Only the fields of the chosen link count (the others are hidden).
  std::vector<std::string> avisos;
};

// The interval field's text when the pilot leaves it: first '.' to ',', then read with either
// separator (the field writes fractions with the comma on every system); unreadable, zero or
// negative gives "1"; a fraction is cut (not rounded) to tenths.
std::string normalizar_intervalo(std::string_view text);

// Why normalizar_intervalo replaces `text` by "1" (a Spanish sentence), or empty when it keeps it.
std::string aviso_intervalo(std::string_view text);

// Four parts separated by points, each a whole number 0..255 written with digits only.
bool direccion_valida(std::string_view text);

// What start-up can connect to: an IPv4 address (direccion_valida), an IPv6 address, or a host
// name (labels of letters, digits, '-' and '_', 1..63 characters each, 253 at most in all). A
// text of digits and points only must be an IPv4 address.
bool is_valid_host(std::string_view text);

// The controls -> the values to save. PUERTO: a whole number 1..65535, else 8090; PUERTOUDP
// likewise, else 49002; PUERTOWEB likewise, else 8091 (the tablet view's port); DIRIP: a valid host (blanks around dropped), else 127.0.0.1; dynamic
// route width: a whole number of at least 1, else 4 (an empty field keeps the value); colour:
// the chosen index, else 10; opacity: the chosen text, else "1"; INTERVALO: the text when it
// reads as a number (either separator), else "10".
ConfigDecision decidir_configuracion(const ConfigChoice& c);

// The link settings: the running link (it changes only with a restart), or what CONFIG.INI
// holds for the next start.
struct LinkSettings {
  bool iocpserver = false;
  bool xgps = false;
  std::string host;
  std::int32_t port = 8090;
  std::int32_t puertoudp = 49002;
};

// The message shown after confirming when the link settings need a restart; empty when none.
// A change of link kind wins over a change of address or port; address and ports are compared
// as they were saved, so a text that fell back to the running value needs no restart.
std::string aviso_reinicio(const LinkSettings& running, const ConfigDecision& d);

// "latitude,longitude" in the general number form with points (for the route editor).
std::string posicion_actual(double latitud, double longitud);

// "v" + major + "." + minor in two digits at least ("v5.07"); empty without a version.
std::string version_text(std::optional<std::pair<int, int>> version);

inline constexpr char kAvisoAjustable[] =
    "Para cambiar a tamaño de mapa ajustable hay que cerrar la aplicación y volverla a abrir. "
    "Ahora se cerrará. Vuelva a ejecutarla de nuevo.";

}  // namespace tolvex
