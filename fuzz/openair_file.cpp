// A standard OpenAir file through the reader to the drawing statements. Every outline is
// closed, has at least three corners and only finite coordinates on the globe; every point
// sampled on an arc or circle lies within 1 m of that circle, whose centre is one of the file's
// own coordinates; nothing lies farther from the file's coordinates than the largest radius;
// no airspace is both kept and counted as skipped; and every statement stays inside its script.
#include <cmath>
#include <string>
#include <vector>

#include "base/number_format.h"
#include "base/text_file.h"
#include "fuzz_support.h"
#include "overlays/airspace_drawing.h"
#include "overlays/openair_reader.h"
#include "overlays/sphere_geometry.h"
#include "page_text_checks.h"

namespace {

using namespace tolvex;

// Every coordinate written in the file, found without the reader: any run of text between
// separators that reads as a point.
std::vector<PuntoGeo> file_coordinates(std::string_view text) {
  std::vector<PuntoGeo> out;
  for (std::string_view line : split_lines(text)) {
    // Candidate pieces: after "=", a comma, a blank or control character (the keyword's end,
    // wherever the line starts) or the two-letter keyword, cut at comment marks and commas.
    std::vector<std::size_t> starts = {0, 1, 2};
    for (std::size_t i = 0; i < line.size(); ++i)
      if (line[i] == '=' || line[i] == ',' || static_cast<unsigned char>(line[i]) <= ' ') starts.push_back(i + 1);
    for (std::size_t s : starts) {
      if (s > line.size()) continue;
      for (std::size_t e = s; e <= line.size(); ++e) {
        if (e < line.size() && line[e] != ',' && line[e] != '*' && line[e] != ';') continue;
        if (const auto p = leer_punto_openair(trim(line.substr(s, e - s)))) out.push_back(*p);
      }
    }
  }
  return out;
}

double nearest(const std::vector<PuntoGeo>& coordinates, PuntoGeo p) {
  double best = INFINITY;
  for (const PuntoGeo& c : coordinates) best = std::min(best, distancia_m(c, p));
  return best;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > 8192) return 0;  // the checks below are quadratic
  const std::string text = decode_text(tolvex::fuzz::as_text(data, size));
  InformeEspacios informe;
  const AirspaceCatalogue catalogue = parse_standard_openair(text, &informe);

  std::size_t records = 0;
  for (std::string_view line : split_lines(text)) {
    const std::string_view t = trim(line);
    records += t.size() >= 2 && (t[0] == 'A' || t[0] == 'a') && (t[1] == 'C' || t[1] == 'c');
  }
  FUZZ_CHECK(catalogue.size() + informe.omitidos <= records);
  FUZZ_CHECK(informe.avisos.size() == std::min(informe.omitidos, kMaxAvisos));

  const std::vector<PuntoGeo> coordinates = catalogue.empty() ? std::vector<PuntoGeo>{} : file_coordinates(text);
  double largest = 0;
  for (const TAirSpace& a : catalogue)
    for (const TramoCurvo& t : a.curvas) largest = std::max(largest, t.radio_m);

  for (const TAirSpace& a : catalogue) {
    const auto& c = a.contorno;
    FUZZ_CHECK(c.size() >= 4 && c.front() == c.back());
    for (const PuntoGeo& p : c) {
      FUZZ_CHECK(std::isfinite(p.lat) && std::isfinite(p.lon));
      FUZZ_CHECK(std::abs(p.lat) <= 90 && std::abs(p.lon) <= 180);
      FUZZ_CHECK(nearest(coordinates, p) <= largest + 1.0);
    }
    for (const TramoCurvo& t : a.curvas) {
      FUZZ_CHECK(t.desde <= t.hasta && t.hasta < c.size());
      FUZZ_CHECK(nearest(coordinates, t.centro) == 0);
      for (std::size_t i = t.desde; i <= t.hasta; ++i) FUZZ_CHECK(std::abs(distancia_m(t.centro, c[i]) - t.radio_m) <= 1.0);
    }
    for (const bool lnuevo : {true, false}) {
      const std::vector<std::string> statements = sentencias_espacio(a, lnuevo);
      FUZZ_CHECK(statements.size() == 1);
      FUZZ_CHECK(tolvex::fuzz::safe_in_page(statements[0]));
      FUZZ_CHECK(statements[0].starts_with(lnuevo ? "NuevoPoligono(" : "AgregarPoligono("));
      FUZZ_CHECK(statements[0].ends_with("');"));
    }
  }
  return 0;
}
