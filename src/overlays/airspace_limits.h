#pragma once
// Vertical limits of an airspace (AL / AH) read into a structure, and shown in the pilot's
// wording: "SFC", "FL 95", "2000 ft AMSL", "1000 ft AGL", "600 m AMSL", "UNL".
#include <string>
#include <string_view>

namespace tolvex {

enum class ReferenciaLimite {
  Ilegible,      // not understood: shown as written
  Superficie,    // GND, SFC
  SobreMar,      // MSL, AMSL, ALT, or a height with no reference
  SobreTerreno,  // AGL, ASFC
  Estandar,      // STD: pressure altitude
  NivelVuelo,    // FL
  Ilimitado,     // UNL, UNLIM, UNLIMITED
};

struct LimiteVertical {
  ReferenciaLimite referencia = ReferenciaLimite::Ilegible;
  double valor = 0;      // feet or metres, or the flight level
  bool metros = false;   // valor in metres
  std::string texto;     // the limit as written, trimmed

  // The pilot's wording; the text as written when it does not read.
  std::string mostrado() const;
  // From the surface: what "Marcar SFC" marks.
  bool desde_superficie() const { return referencia == ReferenciaLimite::Superficie; }
};

LimiteVertical leer_limite(std::string_view text);

}  // namespace tolvex
