#pragma once
// Standard OpenAir airspace files as national services, openAIP and gliding sites publish them:
// points in degrees and minutes with hemisphere letters, arcs (DA, DB) and circles (DC) around
// the last centre (V X=), in the direction of V D=. Each airspace becomes one closed outline.
#include <string_view>

#include "overlays/airspace_catalogue.h"

namespace tolvex {

// True when a coordinate of the file (a DP point, a V X= centre, a DB end) is written in
// degrees and minutes with hemisphere letters and no DP point is a decimal "lon,lat": files
// of the decimal dialect, and files mixing both, keep the decimal rules.
bool is_standard_openair(std::string_view text);

// Records in file order, flags clear. An airspace with a record that does not read (a bad
// point, an arc before any centre, a radius that is not a number), or without an outline
// (fewer than three points), is left out and counted in `informe`, with the line and why.
// Unknown records are skipped; comments start at '*' at the start of a line or after a value.
AirspaceCatalogue parse_standard_openair(std::string_view text, InformeEspacios* informe);

}  // namespace tolvex
