#pragma once
// The program's settings as CONFIG.INI holds them, with the three operations on the file:
// load at start-up, save preferences at close, save configuration from the configuration window.
#include <cstdint>
#include <string>
#include <vector>

#include "base/ini_file.h"
#include "map/map_settings.h"
#include "shell/window_placement.h"

namespace tolvex {

// TIPOCONEXION: "I" the IOCP Server, "X" the network GPS link (XGPS/XATT over UDP), anything
// else FSUIPC.
enum class LinkKind : char { fsuipc = 'F', iocp = 'I', xgps = 'X' };

struct Settings {
  // INICIO
  std::int32_t mapsize = 0;
  bool MapaSK = false;
  bool Sonidos = true;
  bool auto_ = false;  // follow mode ("auto" is a C++ keyword)
  std::int32_t puerto = 8090;
  std::string dirip = "127.0.0.1";
  std::string intervalorgm = "10";
  std::int32_t intervalo_ms = 10000;
  bool iocpserver = false;               // TIPOCONEXION is exactly "I"
  LinkKind link_kind = LinkKind::fsuipc;  // the link TIPOCONEXION chooses; set both with set_link_kind
  std::int32_t puertoudp = 49002;         // PUERTOUDP: the network GPS link's port
  bool debug = false;
  bool puntosvfr = false;
  bool xplane = false;
  bool lespaciosaereos = false;
  bool suave = true;  // SUAVE: the aircraft glides between samples
  // RUTA
  std::int32_t ruta_ancho = 4;
  std::int32_t ruta_color = 10;
  std::string ruta_trans = "1";
  bool ruta_visible = false;
  std::string velo = "120";
  std::string cons = "12,5";
  // RUTADIN
  std::int32_t rutadin_ancho = 4;
  std::int32_t rutadin_color = 10;
  std::string rutadin_trans = "1";
  // MAPAS
  MapSettings maps;
  // VENTANA: where the window was at the last close (written at close)
  SavedWindow ventana;
  // WEB: the tablet view, off unless SERVIDOR is "S"
  bool servidor_web = false;
  std::int32_t puertoweb = 8091;
  std::string claveweb;  // the access key; made and written on the first start with the server on
};

// Chooses the link: keeps iocpserver and link_kind in agreement.
void set_link_kind(Settings& s, LinkKind kind);

// Reads every key in the documented order and converts it (SIZE 0..3 else 0; switches on only
// for exactly "S"; TIPOMAPA "S" is ignored in size mode 3; TIPOCONEXION exactly "I"; non-integer
// ANCHO/COLOR give 4/10; TIPOCONEXION "X" the network link). A PUERTO outside 1..65535 or not a
// number gives 8090, a PUERTOUDP likewise 49002, a PUERTOWEB 8091; an unusable (or negative)
// INTERVALO gives "10" / 10000 ms; an empty DIRIP gives 127.0.0.1. In [VENTANA] a key that is
// not a whole number (or, for ANCHO and ALTO, not above 0) is left out. `notes` receives one Spanish line per value present in the
// file that fell back to its default (the caller logs them when DEBUG is on).
Settings load_settings(const IniFile& ini, char decimal_separator, std::vector<std::string>* notes = nullptr);

// The shortest poll interval: a tenth of a second, as the configuration window says.
inline constexpr std::int32_t kMinIntervalMs = 100;

// INTERVALO text -> milliseconds ("#0" rounding of seconds * 1000); either separator accepted.
// A number from 0 to below 0,1 s gives kMinIntervalMs and sets *floored. Returns -1 when the text
// is unusable: not a number, negative, or too large for a 32-bit millisecond count.
std::int32_t interval_ms_from_text(const std::string& text, char decimal_separator, bool* floored = nullptr);

// Close-time save: the preference keys in their documented order (VELOCIDAD and CONSUMO only
// when not blank, written trimmed; DEBUG never), then [VENTANA] (each key that has a value), then
// flush(), which may throw.
void save_preferences(IniFile& ini, const Settings& s);

// CLAVEWEB written alone (a new key for the tablet view), then flush(), which may throw.
void save_web_key(IniFile& ini, const std::string& key);

// Configuration-window save (tipog 1..4; XPLANE "S" or the key deleted; SERVIDOR and PUERTOWEB
// of section WEB), then flush().
// TIPOCONEXION is "I" when iocpserver is set, else "X" for the network link, else "F";
// PUERTOUDP is written after DIRIP when the network link is chosen.
void save_configuration(IniFile& ini, const Settings& s, std::int32_t tipog);

// A new CONFIG.INI at `path`: the comment line, then every key the configuration window and the
// close save, with the values of `s`, and DEBUG (as "N", to be switched on by hand). Each step
// reaches the disk atomically. Throws std::runtime_error when the file cannot be written.
void write_first_settings(const std::string& path, const std::string& comment, const Settings& s);

}  // namespace tolvex
