// A route file as a pilot or another program may have written it, to the header fields and
// the AgregarPunto statements the route editor runs. Any bytes are read; the header is the
// first line that is neither blank nor a comment and every later such line is one point, one
// line listed as no point (in order), or a coordinate no map can place, which refuses the file
// with a message naming the first such line; no field holds a line break (the speed no bar, the
// longitude no comma); each statement built from a point is "AgregarPunto(" two plain numbers
// ")" and safe in a page. A file read and saved again reads back the same.
#include <string>

#include "base/text_file.h"
#include "fuzz_support.h"
#include "map/view_statements.h"
#include "page_text_checks.h"
#include "route/route_file.h"

namespace {

using namespace tolvex;

bool has_line_break(std::string_view s) { return s.find_first_of("\r\n") != std::string_view::npos; }

// The lines a reader must take: split at LF, every CR dropped, blank or '#' lines left out.
std::size_t lines_taken(std::string_view text) {
  std::size_t count = 0;
  std::string line;
  const auto end_line = [&] {
    bool blank = true;
    for (char c : line) blank = blank && static_cast<unsigned char>(c) <= ' ';
    count += !blank && line.front() != '#';
    line.clear();
  };
  for (char c : text) {
    if (c == '\n') end_line();
    else if (c != '\r') line += c;
  }
  end_line();
  return count;
}

// Digits, sign, point, exponent and blanks only, with at least one digit: what a statement
// argument may hold, checked apart from the program's own number rule.
bool number_characters(std::string_view s) {
  bool digit = false;
  for (char c : s) {
    digit = digit || (c >= '0' && c <= '9');
    if (std::string_view("0123456789+-.eE \t").find(c) == std::string_view::npos) return false;
  }
  return digit;
}

void check_statement(const RouteFilePoint& p) {
  const std::string s = agregar_punto_statement(p.latitud, p.longitud);
  FUZZ_CHECK(!s.empty());
  FUZZ_CHECK(tolvex::fuzz::safe_in_page(s));
  FUZZ_CHECK(s.starts_with("AgregarPunto(") && s.ends_with(")"));
  const std::string_view args = std::string_view(s).substr(13, s.size() - 14);
  const auto comma = args.find(',');
  FUZZ_CHECK(comma != std::string_view::npos);
  FUZZ_CHECK(number_characters(args.substr(0, comma)) && number_characters(args.substr(comma + 1)));
  FUZZ_CHECK(args.substr(0, comma) == p.latitud && args.substr(comma + 1) == p.longitud);
}

void check_file(std::string_view text) {
  const RouteFileContents read = parse_route_file(text);
  const std::size_t taken = lines_taken(text);
  FUZZ_CHECK(read.tiene_cabecera == (taken > 0));
  const std::size_t lines = read.puntos.size() + read.no_puntos.size();
  if (read.linea_invalida == 0)
    FUZZ_CHECK(lines == (taken > 0 ? taken - 1 : 0));
  else
    FUZZ_CHECK(lines < taken);
  for (std::size_t i = 0; i < read.no_puntos.size(); ++i)
    FUZZ_CHECK(read.no_puntos[i] >= 2 && (i == 0 || read.no_puntos[i] > read.no_puntos[i - 1]));
  FUZZ_CHECK(route_file_skipped(read).empty() == read.no_puntos.empty());
  const std::string refusal = route_file_refusal(read);
  FUZZ_CHECK(refusal.empty() == (read.linea_invalida == 0));
  FUZZ_CHECK(refusal.find('\n') == std::string::npos && refusal.size() < 300);
  if (read.linea_invalida != 0)
    FUZZ_CHECK(refusal.find(" " + std::to_string(read.linea_invalida) + " del fichero") != std::string::npos);
  FUZZ_CHECK(!has_line_break(read.velocidad) && !has_line_break(read.consumo));
  FUZZ_CHECK(read.velocidad.find('|') == std::string::npos);
  for (const RouteFilePoint& p : read.puntos) {
    FUZZ_CHECK(!has_line_break(p.longitud) && !has_line_break(p.latitud));
    FUZZ_CHECK(p.longitud.find(',') == std::string::npos);
    check_statement(p);
  }
  if (!read.tiene_cabecera) return;

  // Saved as the editor saves: the route text is the points' lines, each ended by LF.
  std::string ruta;
  for (const RouteFilePoint& p : read.puntos) ruta += p.longitud + "," + p.latitud + "\n";
  const RouteFileContents again = parse_route_file(route_file_text(read.velocidad, read.consumo, ruta));
  FUZZ_CHECK(again.tiene_cabecera);
  FUZZ_CHECK(again.velocidad == read.velocidad && again.consumo == read.consumo);
  FUZZ_CHECK(again.puntos.size() == read.puntos.size());
  FUZZ_CHECK(again.no_puntos.empty() && again.linea_invalida == 0);
  for (std::size_t i = 0; i < read.puntos.size(); ++i) {
    FUZZ_CHECK(again.puntos[i].longitud == read.puntos[i].longitud);
    FUZZ_CHECK(again.puntos[i].latitud == read.puntos[i].latitud);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes = tolvex::fuzz::as_text(data, size);
  check_file(bytes);               // as the bytes stand
  check_file(decode_text(bytes));  // as the editor reads a file
  return 0;
}
