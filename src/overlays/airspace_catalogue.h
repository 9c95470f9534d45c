#pragma once
// The airspace file (airspaces.txt), its records, the saved selection (airspsel.txt) and the
// class labels shown for each class code.
#include <string>
#include <string_view>
#include <vector>

namespace tolvex {

struct TAirSpace {
  std::string AC;                     // class code as written ("R", "CTR", "AWY", ...)
  std::string AN;                     // name; the key of airspsel.txt and of page statements
  std::string AH;                     // upper limit, not interpreted
  std::string AL;                     // lower limit, not interpreted ("SFC" = from the surface)
  std::string SP;                     // pen value ("0,2,AZUL"); empty when the record has none
  std::vector<std::string> dibujos;   // drawing lines, whole and trimmed, keyword included
  bool visible = false;               // committed selection: drawn on the main map
  bool previs = false;                // working selection of the selection window
};

using AirspaceCatalogue = std::vector<TAirSpace>;

// Records of an airspace file's text (already decoded to UTF-8), in file order, both flags clear.
// Malformed content is never rejected: unknown lines become drawing lines.
AirspaceCatalogue parse_airspaces(std::string_view text);

// Sets `visible` on every record whose AN equals one line of the selection text exactly (the
// line is not trimmed). Records not named keep their flag.
void apply_selection(AirspaceCatalogue& catalogue, std::string_view selection_text);

// Class code -> label ("Restringida", "Clase CTR", "Aerovías", ...); empty when no rule matches.
std::string clase_etiqueta(std::string_view code);

// Reads <folder>airspaces.txt and then <folder>airspsel.txt. A missing airspaces.txt gives an
// empty catalogue (and the selection is not read); a missing airspsel.txt marks nothing. An
// existing file that cannot be read throws std::runtime_error.
AirspaceCatalogue load_catalogue(const std::string& folder);

// folder + name, adding a separator when the folder has no trailing one.
std::string file_in_folder(const std::string& folder, std::string_view name);

}  // namespace tolvex
