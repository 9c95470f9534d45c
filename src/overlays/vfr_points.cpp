#include "overlays/vfr_points.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <unordered_map>
#include <vector>

#include "map/script_escape.h"
#include "overlays/airspace_catalogue.h"
#include "base/number_format.h"
#include "base/text_file.h"

namespace tolvex {

namespace {

struct Coordinate {
  double value;
  std::string text;
};

// A coordinate as the file may write it (point or comma) -> its value and the page's form
// (point), or nothing when it is not a number within `limit`.
std::optional<Coordinate> coordinate(std::string_view text, double limit) {
  std::string comma_form(trim(text));
  std::replace(comma_form.begin(), comma_form.end(), '.', ',');
  const std::optional<double> value = parse_decimal(comma_form, ',');
  if (!value || !(std::fabs(*value) <= limit)) return std::nullopt;
  std::string written = script_number(*value);
  if (written.empty()) return std::nullopt;
  return Coordinate{*value, std::move(written)};
}

}  // namespace

std::vector<int> vfr_label_min_zooms(const std::vector<VfrLabelPlace>& points) {
  constexpr double kPi = 3.14159265358979323846;
  constexpr int kCell = 512;  // pixels: wider than any label box
  struct Box {
    double left, top, right, bottom;
  };
  auto box_at = [&](const VfrLabelPlace& p, int zoom) {
    const double scale = 256.0 * std::ldexp(1.0, zoom);
    const double lat = std::clamp(p.latitude, -85.05112878, 85.05112878) * kPi / 180.0;
    const double x = (p.longitude + 180.0) / 360.0 * scale;
    const double y = (0.5 - std::log((1 + std::sin(lat)) / (1 - std::sin(lat))) / (4 * kPi)) * scale;
    // The pin (its tip on the point, its head up and to the right) and the label beside it.
    return Box{x, y - kVfrLabelAbovePx, x + kVfrLabelLeftPx + p.label_width_px, y + kVfrLabelBelowPx};
  };
  auto overlap = [](const Box& a, const Box& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
  };
  auto cell_of = [](double v) { return static_cast<long long>(std::floor(v / kCell)); };
  // Per zoom level, the boxes of the points already shown there, bucketed by grid cell.
  std::vector<std::unordered_map<long long, std::vector<Box>>> shown(kVfrMaxZoom + 1);
  auto key = [](long long cx, long long cy) { return cx * 1000003LL + cy; };
  auto collides = [&](const Box& b, int zoom) {
    for (long long cx = cell_of(b.left); cx <= cell_of(b.right); ++cx)
      for (long long cy = cell_of(b.top); cy <= cell_of(b.bottom); ++cy) {
        const auto it = shown[zoom].find(key(cx, cy));
        if (it == shown[zoom].end()) continue;
        for (const Box& other : it->second)
          if (overlap(b, other)) return true;
      }
    return false;
  };
  std::vector<int> zooms;
  zooms.reserve(points.size());
  for (const VfrLabelPlace& p : points) {
    // Moving apart with every zoom step, two labels that do not overlap at one level never
    // overlap further in: the first free level is where the point starts to show.
    int zoom = 1;
    while (zoom < kVfrMaxZoom && collides(box_at(p, zoom), zoom)) ++zoom;
    zooms.push_back(zoom);
    for (int z = zoom; z <= kVfrMaxZoom; ++z) {
      const Box b = box_at(p, z);
      for (long long cx = cell_of(b.left); cx <= cell_of(b.right); ++cx)
        for (long long cy = cell_of(b.top); cy <= cell_of(b.bottom); ++cy) shown[z][key(cx, cy)].push_back(b);
    }
  }
  return zooms;
}

double vfr_label_width_px(std::string_view label) {
  std::size_t characters = 0;
  for (char c : label)
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++characters;  // UTF-8 lead bytes
  return kVfrLabelCharPx * static_cast<double>(characters) + kVfrLabelFramePx;
}

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
    points.push_back({line.substr(0, first), std::move(latitude->text), std::move(longitude->text), latitude->value,
                      longitude->value});
  }
  return points;
}

std::vector<int> vfr_point_min_zooms(const std::vector<VfrPoint>& points) {
  std::vector<VfrLabelPlace> places;
  places.reserve(points.size());
  for (const VfrPoint& p : points) places.push_back({p.latitude, p.longitude, vfr_label_width_px(p.label)});
  return vfr_label_min_zooms(places);
}

std::string build_vfr_statements(std::string_view text) {
  static constexpr std::string_view kHead = "gmarkers.push(createMarker(new google.maps.LatLng(";
  const std::vector<VfrPoint> points = parse_vfr_points(text);
  const std::vector<int> zooms = vfr_point_min_zooms(points);
  std::string result;
  result.reserve(text.size() * 2);
  for (std::size_t i = 0; i < points.size(); ++i) {
    result += kHead;
    result += points[i].latitud;
    result += ',';
    result += points[i].longitud;
    result += "),";
    result += quote_double(points[i].label);
    result += ',';
    result += std::to_string(zooms[i]);
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
