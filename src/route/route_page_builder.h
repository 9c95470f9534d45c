#pragma once
// Builds the text of the route editor's page (pageruta.htm) from its template, and the page
// statements of the route editor that carry its texts. Pure: the window writes and loads the file.
#include <cstdint>
#include <string>
#include <string_view>

#include "map/map_settings.h"

namespace tolvex {

inline constexpr std::string_view kCentroRutaPorDefecto = "37.426015830209174,-4.844970703125";

// The route editor's values, as its fields hold them.
struct RoutePageInputs {
  std::string centro{kCentroRutaPorDefecto};  // "latitude,longitude" of the map centre
  std::string zoom = "7";
  std::int32_t tipomapa = 1;        // 1 ROADMAP, 2 HYBRID, 3 SATELLITE, 4 TERRAIN
  std::string color;                // the colour list's text: a colour name, or empty
  std::string transparencia = "1";  // the transparency list's text
  std::string ancho = "4";          // the width field's text
  std::string puntos_vfr;           // the VFR marker statements (load_vfr_statements)
  MapSettings maps;
};

// The page from the embedded route_page.html; throws std::runtime_error when it is missing.
std::string build_route_page(const RoutePageInputs& in);
// The same from a given template text. Placeholders, every occurrence, in this order: "##MAPSAPI##",
// then "##PUNTOSVFR##", "##POSIC##", "##ZOOM##", "##DATRUTA##", "##TMP##" (a text
// inserted by one step is seen by the later ones). A centre, zoom, width or opacity that is not
// made of plain numbers is replaced by its default, so a typed field can never put script into
// the page.
std::string build_route_page(const RoutePageInputs& in, std::string_view template_text);

// What "##DATRUTA##" becomes: "strokeColor: \"#RRGGBB\", ", "strokeOpacity: 1, ", "strokeWeight: 4, ",
// each ended by CR LF; the colour is empty when the name is not in the colour table.
std::string route_line_style(std::string_view color, std::string_view transparencia, std::string_view ancho);

// "showAddress('...',false);" (true: also add the place to the route), the address quoted.
std::string show_address_statement(std::string_view direccion, bool agregar);

// "DimeAltura(lat,lng)" with the two texts as they stand, or empty when either is not a plain number.
std::string dime_altura_statement(std::string_view latitud, std::string_view longitud);

}  // namespace tolvex
