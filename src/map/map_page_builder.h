#pragma once
// Builds the text of page.html (the map page, or the chart-service page) from its template.
// Pure: the window serves it (map/page_files.h), replaces the browser and logs.
#include <cstdint>
#include <string>
#include <string_view>

#include "map/map_settings.h"

namespace tolvex {

struct MapPageInputs {
  bool MapaSK = false;  // chart-service page instead of the map page
  double latitud = 0.0;
  double longitud = 0.0;
  std::int32_t heading = 0;
  std::int32_t ZoomSK = 3;
  std::int32_t ZoomGL = 9;
  std::int32_t tipogooglemap = 1;  // 1 ROADMAP, 2 HYBRID, 3 SATELLITE, 4 TERRAIN
  std::int32_t mapsize = 0;        // 0 Normal, 1 Medio, 2 Grande, 3 Ajustable
  std::int32_t rutadin_color = 10;
  std::int32_t rutadin_ancho = 4;
  std::string rutadin_trans = "1";
  std::string puntos_vfr;  // the VFR marker statements, built by the VFR points module
  bool suave = false;      // the aircraft glides between samples (SUAVE)
  MapSettings maps;
};

// The page from the template the inputs ask for (main_page.html or chart_page.html).
// Throws std::runtime_error when that template is not built into the program.
std::string build_map_page(const MapPageInputs& in);
// The same from a given template text.
std::string build_map_page(const MapPageInputs& in, std::string_view template_text);

// Pieces of the page, exposed for the window and for tests.
std::string map_type_name(std::int32_t tipogooglemap);     // "ROADMAP"...; empty outside 1..4
std::string chart_size_style(std::int32_t mapsize);        // "width: 690px; height: 390px;"...; empty in mode 3
std::string rutadin_stroke(std::int32_t rutadin_color, std::int32_t rutadin_ancho, std::string_view rutadin_trans);
std::string maps_api_tags(const MapSettings& maps);        // what "##MAPSAPI##" becomes

// The remote host whose scripts the page waits for before it counts as loaded: the chart
// service's for the chart page, the Google Maps script's with the Google provider; empty when
// the page loads local files only.
std::string page_script_host(bool MapaSK, const MapSettings& maps);

// Every occurrence of `placeholder` in `text` replaced by `value`, scanning left to right
// (text inserted is not scanned again by this call).
void replace_all(std::string& text, std::string_view placeholder, std::string_view value);

// Diagnostic line "Ruta:" + folder (backslashes as slashes) + " Head:" + heading.
std::string map_page_log_line(std::string_view program_folder, std::int32_t heading);

}  // namespace tolvex
