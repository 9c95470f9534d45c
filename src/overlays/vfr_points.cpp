#include "overlays/vfr_points.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "map/script_escape.h"
#include "overlays/airspace_catalogue.h"
#include "base/number_format.h"
#include "base/text_file.h"

namespace tolvex {

namespace {

// A coordinate as the file may write it (point or comma) -> the page's form (point), or
// nothing when it is not a number within `limit`.
std::optional<std::string> coordinate(std::string_view text, double limit) {
  std::string comma_form(trim(text));
  std::replace(comma_form.begin(), comma_form.end(), '.', ',');
  const std::optional<double> value = parse_decimal(comma_form, ',');
  if (!value || !(std::fabs(*value) <= limit)) return std::nullopt;
  std::string written = script_number(*value);
  if (written.empty()) return std::nullopt;
  return written;
}

}  // namespace

std::vector<VfrPoint> parse_vfr_points(std::string_view text) {
  std::vector<VfrPoint> points;
  for (std::string_view line : split_lines(text)) {
    const std::size_t first = line.find('|');
    if (first == std::string_view::npos) continue;
    const std::size_t second = line.find('|', first + 1);
    if (second == std::string_view::npos) continue;  // no longitude at all
    // A third bar stays in the longitude text and makes it fail as a number.
    auto latitude = coordinate(line.substr(first + 1, second - first - 1), 90.0);
    if (!latitude) continue;
    auto longitude = coordinate(line.substr(second + 1), 180.0);
    if (!longitude) continue;
    points.push_back({line.substr(0, first), std::move(*latitude), std::move(*longitude)});
  }
  return points;
}

std::string build_vfr_statements(std::string_view text) {
  static constexpr std::string_view kHead = "gmarkers.push(createMarker(new google.maps.LatLng(";
  std::string result;
  result.reserve(text.size() * 2);
  for (const VfrPoint& p : parse_vfr_points(text)) {
    result += kHead;
    result += p.latitud;
    result += ',';
    result += p.longitud;
    result += "),";
    result += quote_double(p.label);
    result += "));\r\n";
  }
  return result;
}

std::string load_vfr_statements(const std::string& folder) {
  const std::string path = file_in_folder(folder, "PuntosVFR.txt");
  if (!file_exists(path)) return {};
  return build_vfr_statements(read_text_file(path));
}

}  // namespace tolvex
