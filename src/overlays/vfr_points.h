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
  double latitude = 0;
  double longitude = 0;
};

// The points of a points file's text ("label|latitude|longitude" per line, comma or point as
// decimal separator), in file order. Lines that do not hold a label and two numbers, or whose
// point lies outside -90..90 / -180..180, are skipped. Labels point into `text`.
std::vector<VfrPoint> parse_vfr_points(std::string_view text);

// Statements for the text of a points file ("label|latitude|longitude" per line, comma or point
// as decimal separator), one per accepted line, each ended by CR LF. Lines that do not hold a
// label and two numbers, or whose point lies outside -90..90 / -180..180, are skipped. Each
// marker carries the lowest zoom level at which it shows (vfr_label_min_zooms), so that labels
// never pile up: createMarker(position, label, zoom).
std::string build_vfr_statements(std::string_view text);

// How a label is laid out beside its pin, in screen pixels from the point: the page's label
// style and anchor (main and route pages) follow these figures.
inline constexpr double kVfrLabelLeftPx = 11;   // the pin's head, then the label
inline constexpr double kVfrLabelAbovePx = 13;  // the label's top above the point
inline constexpr double kVfrLabelBelowPx = 4;   // the pin's tip and the label's bottom below it
inline constexpr double kVfrLabelCharPx = 7;  // a character of the 10 px bold face, at most
inline constexpr double kVfrLabelFramePx = 8;   // padding and border
inline constexpr int kVfrMaxZoom = 19;

struct VfrLabelPlace {
  double latitude = 0;
  double longitude = 0;
  double label_width_px = 0;
};
// The width a label of this text takes on the map.
double vfr_label_width_px(std::string_view label);
// For each point, in file order (earlier points win), the lowest zoom level (1 to 19) at which
// its pin and label overlap no pin or label of an earlier point shown at that level; the last
// level shows every point.
std::vector<int> vfr_label_min_zooms(const std::vector<VfrLabelPlace>& points);
// The same for the points of a file, each with its own label.
std::vector<int> vfr_point_min_zooms(const std::vector<VfrPoint>& points);

// The same for <folder>PuntosVFR.txt, read afresh; empty when the file does not exist. An
// existing file that cannot be read throws std::runtime_error.
std::string load_vfr_statements(const std::string& folder);

}  // namespace tolvex
