#pragma once
// The airspace file (airspaces.txt), its records, the saved selection (airspsel.txt) and the
// class labels shown for each class code.
#include <string>
#include <string_view>
#include <vector>

#include "overlays/airspace_limits.h"
#include "overlays/openair_coordinates.h"

namespace tolvex {

// A stretch of an outline sampled on a circle (an arc or a whole circle of a standard file).
struct TramoCurvo {
  PuntoGeo centro;
  double radio_m = 0;
  std::size_t desde = 0, hasta = 0;  // indices into the outline, both included
};

struct TAirSpace {
  std::string AC;                     // class code as written ("R", "CTR", "AWY", ...)
  std::string AN;                     // name; the key of airspsel.txt and of page statements
  std::string AH;                     // upper limit, not interpreted
  std::string AL;                     // lower limit, not interpreted ("SFC" = from the surface)
  std::string SP;                     // pen value ("0,2,AZUL"); empty when the record has none
  std::vector<std::string> dibujos;   // drawing lines, whole and trimmed, keyword included
  bool visible = false;               // committed selection: drawn on the main map
  bool previs = false;                // working selection of the selection window

  // Read from standard OpenAir files only (the decimal dialect leaves them empty):
  std::vector<PuntoGeo> contorno;     // the closed outline, last point = first
  std::vector<TramoCurvo> curvas;     // which stretches of it lie on a circle
  std::string AY, AF, AG, SB;         // type, frequency, station, brush as written
  std::string color_pluma;            // "#RRGGBB" of an "SP style,width,R,G,B" pen
  int grosor = 0;                     // that pen's width; 0 = the usual 2
  // AL / AH read; AL and AH above then hold their shown text ("SFC" for GND).
  LimiteVertical inferior, superior;
};

// What reading airspaces.txt found beyond the records.
struct AvisoLectura {
  std::size_t linea = 0;  // 1-based
  std::string motivo;     // Spanish, for the log
};
struct InformeEspacios {
  bool estandar = false;            // read as standard OpenAir
  std::size_t omitidos = 0;         // airspaces skipped because a record did not read
  std::vector<AvisoLectura> avisos; // why, at most kMaxAvisos of them
};
inline constexpr std::size_t kMaxAvisos = 200;

using AirspaceCatalogue = std::vector<TAirSpace>;

// Records of an airspace file's text (already decoded to UTF-8), in file order, both flags clear.
// Malformed content is never rejected: unknown lines become drawing lines.
AirspaceCatalogue parse_airspaces(std::string_view text);

// Either dialect, chosen per file (is_standard_openair); `informe` may be null.
AirspaceCatalogue read_airspaces(std::string_view text, InformeEspacios* informe);

// Sets `visible` on every record whose AN equals one line of the selection text exactly (the
// line is not trimmed). Records not named keep their flag.
void apply_selection(AirspaceCatalogue& catalogue, std::string_view selection_text);

// Class code -> label ("Restringida", "Clase CTR", "Aerovías", ...); empty when no rule matches.
std::string clase_etiqueta(std::string_view code);

// Reads <folder>airspaces.txt and then <folder>airspsel.txt. A missing airspaces.txt gives an
// empty catalogue (and the selection is not read); a missing airspsel.txt marks nothing. An
// existing file that cannot be read throws std::runtime_error.
AirspaceCatalogue load_catalogue(const std::string& folder, InformeEspacios* informe = nullptr);

// folder + name, adding a separator when the folder has no trailing one.
std::string file_in_folder(const std::string& folder, std::string_view name);

}  // namespace tolvex
