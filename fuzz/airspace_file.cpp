// An airspace file as found on the internet, through the catalogue to the drawing statements.
// Every record field is one trimmed line's text; there is one record per line starting "AC";
// the selection marks exactly the records it names; and every statement is one call of the
// page's polygon function with three closed string literals and a list of numeric points,
// holding no line break, "</" or other text that could break out of its script.
//
// Input: the airspace file's bytes, optionally a line "%%" and the selection file's bytes.
#include <string>
#include <unordered_set>

#include "base/text_file.h"
#include "fuzz_support.h"
#include "map/script_escape.h"
#include "overlays/airspace_catalogue.h"
#include "overlays/airspace_drawing.h"
#include "page_text_checks.h"

namespace {

using namespace tolvex;
using tolvex::fuzz::after_literal;

bool one_trimmed_line(std::string_view field) {
  if (field.find_first_of("\r\n") != std::string_view::npos) return false;
  return field.empty() ||
         (static_cast<unsigned char>(field.front()) > ' ' && static_cast<unsigned char>(field.back()) > ' ');
}

// prefix + "Poligono(" + three literals + ",[" + "[x,y]" points separated by "," + "]);"
bool well_formed_polygon(std::string_view s, bool lnuevo) {
  const std::string_view head = lnuevo ? "NuevoPoligono(" : "AgregarPoligono(";
  if (!s.starts_with(head)) return false;
  std::size_t i = head.size();
  for (int literal = 0; literal < 3; ++literal) {
    i = after_literal(s, i, '\'');
    if (i == std::string_view::npos || i >= s.size() || s[i] != ',') return false;
    ++i;
  }
  if (s.substr(i, 1) != "[") return false;
  ++i;
  for (;;) {
    if (s.substr(i, 1) != "[") return false;
    const auto close = s.find(']', i);
    if (close == std::string_view::npos) return false;
    const std::string_view point = s.substr(i + 1, close - i - 1);
    const auto comma = point.find(',');
    if (comma == std::string_view::npos || !is_plain_number(point.substr(0, comma)) ||
        !is_plain_number(point.substr(comma + 1)))
      return false;
    i = close + 1;
    if (s.substr(i, 1) != ",") break;
    ++i;
  }
  return s.substr(i) == "]);";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto parts = tolvex::fuzz::split_parts(tolvex::fuzz::as_text(data, size));
  const std::string text = decode_text(parts[0]);
  AirspaceCatalogue catalogue = parse_airspaces(text);

  std::size_t records = 0;
  for (std::string_view line : split_lines(text)) records += line.starts_with("AC");
  FUZZ_CHECK(catalogue.size() == records);

  const std::string selection = parts.size() > 1 ? decode_text(parts[1]) : std::string();
  apply_selection(catalogue, selection);
  std::unordered_set<std::string_view> names;
  for (std::string_view line : split_lines(selection)) names.insert(line);

  for (const TAirSpace& record : catalogue) {
    for (const std::string* field : {&record.AC, &record.AN, &record.AH, &record.AL, &record.SP})
      FUZZ_CHECK(one_trimmed_line(*field));
    for (const std::string& line : record.dibujos) FUZZ_CHECK(!line.empty() && one_trimmed_line(line));
    FUZZ_CHECK(record.visible == names.contains(record.AN));
    FUZZ_CHECK(!record.previs);

    for (const bool lnuevo : {true, false}) {
      for (const std::string& statement : ProcesaEspacioAereo(record.AC, record.AN, record.SP, record.dibujos, lnuevo)) {
        FUZZ_CHECK(tolvex::fuzz::safe_in_page(statement));
        FUZZ_CHECK(well_formed_polygon(statement, lnuevo));
      }
    }
  }
  return 0;
}
