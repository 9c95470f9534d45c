#pragma once
// VFR reporting points (PuntosVFR.txt) as the marker statements of a map page.
#include <string>
#include <string_view>
#include <vector>

namespace tolvex {

struct VfrPoint {
  std::string_view label;  // as written, blanks kept
  std::string latitud;     // general number form with a point ("40.3706")
  std::string longitud;
};

// The points of a points file's text ("label|latitude|longitude" per line, comma or point as
// decimal separator), in file order. Lines that do not hold a label and two numbers, or whose
// point lies outside -90..90 / -180..180, are skipped. Labels point into `text`.
std::vector<VfrPoint> parse_vfr_points(std::string_view text);

// Statements for the text of a points file ("label|latitude|longitude" per line, comma or point
// as decimal separator), one per accepted line, each ended by CR LF. Lines that do not hold a
// label and two numbers, or whose point lies outside -90..90 / -180..180, are skipped.
std::string build_vfr_statements(std::string_view text);

// The same for <folder>PuntosVFR.txt, read afresh; empty when the file does not exist. An
// existing file that cannot be read throws std::runtime_error.
std::string load_vfr_statements(const std::string& folder);

}  // namespace tolvex
