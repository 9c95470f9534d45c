// A VFR points file as a pilot may have typed it, to the marker statements put in the map
// page. The result is a series of statements each ended by CR LF, each one call of createMarker
// with a latitude within -90..90 and a longitude within -180..180 written as plain numbers and
// one closed string literal and the zoom level (1 to 19) it shows from, none holding a line break, "</" or other text that could break
// out of its script; there are never more statements than lines with two bars.
#include <cstdlib>
#include <string>

#include "base/text_file.h"
#include "fuzz_support.h"
#include "map/script_escape.h"
#include "overlays/vfr_points.h"
#include "page_text_checks.h"

namespace {

using namespace tolvex;

bool coordinate_within(std::string_view text, double limit) {
  if (!is_plain_number(text)) return false;
  const double value = std::strtod(std::string(text).c_str(), nullptr);
  return value >= -limit && value <= limit;
}

bool well_formed_marker(std::string_view s) {
  static constexpr std::string_view kHead = "gmarkers.push(createMarker(new google.maps.LatLng(";
  if (!s.starts_with(kHead)) return false;
  s.remove_prefix(kHead.size());
  const auto comma = s.find(',');
  const auto close = s.find("),");
  if (comma == std::string_view::npos || close == std::string_view::npos || comma > close) return false;
  if (!coordinate_within(s.substr(0, comma), 90) || !coordinate_within(s.substr(comma + 1, close - comma - 1), 180))
    return false;
  const std::size_t after = tolvex::fuzz::after_literal(s, close + 2, '"');
  if (after == std::string_view::npos) return false;
  // Then the zoom the point shows from: a whole number within the map's levels.
  std::string_view zoom = s.substr(after);
  if (!zoom.starts_with(",") || !zoom.ends_with("));")) return false;
  zoom = zoom.substr(1, zoom.size() - 4);
  if (zoom.empty() || zoom.size() > 2 || zoom.find_first_not_of("0123456789") != std::string_view::npos) return false;
  const int level = std::atoi(std::string(zoom).c_str());
  return level >= 1 && level <= kVfrMaxZoom;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text = decode_text(tolvex::fuzz::as_text(data, size));
  const std::string statements = build_vfr_statements(text);

  std::size_t candidates = 0;
  for (std::string_view line : split_lines(text)) {
    const auto first = line.find('|');
    candidates += first != std::string_view::npos && line.find('|', first + 1) != std::string_view::npos;
  }
  std::size_t count = 0;
  std::string_view rest = statements;
  while (!rest.empty()) {
    const auto end = rest.find("\r\n");
    FUZZ_CHECK(end != std::string_view::npos);
    const std::string_view statement = rest.substr(0, end);
    FUZZ_CHECK(tolvex::fuzz::safe_in_page(statement));
    FUZZ_CHECK(well_formed_marker(statement));
    ++count;
    rest.remove_prefix(end + 2);
  }
  FUZZ_CHECK(count <= candidates);
  return 0;
}
