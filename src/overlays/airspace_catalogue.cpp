#include "overlays/airspace_catalogue.h"

#include <unordered_set>

#include "base/number_format.h"
#include "base/text_file.h"
#include "overlays/openair_reader.h"

namespace tolvex {

namespace {

bool is_blank_line(std::string_view line) {
  for (char c : line) {
    if (static_cast<unsigned char>(c) > 32) return false;
  }
  return true;
}

// Value of a keyword line: from the fourth character on (the third, normally a blank, is
// skipped whatever it is), trimmed.
std::string keyword_value(std::string_view line) {
  if (line.size() <= 3) return {};
  return std::string(trim(line.substr(3)));
}

}  // namespace

AirspaceCatalogue read_airspaces(std::string_view text, InformeEspacios* informe) {
  if (informe) *informe = InformeEspacios{};
  if (is_standard_openair(text)) return parse_standard_openair(text, informe);
  return parse_airspaces(text);
}

AirspaceCatalogue parse_airspaces(std::string_view text) {
  AirspaceCatalogue catalogue;
  for_each_line(text, [&catalogue](std::string_view line) {
    // Classified as read: a leading blank or lower case makes it a drawing line.
    if (!line.empty() && line.front() == '*') return;
    if (is_blank_line(line)) return;
    if (line.starts_with("AC")) {
      TAirSpace record;
      record.AC = keyword_value(line);
      catalogue.push_back(std::move(record));
      return;
    }
    if (catalogue.empty()) return;  // nothing before the first record belongs anywhere
    TAirSpace& current = catalogue.back();
    if (line.starts_with("AN")) {
      current.AN = keyword_value(line);
    } else if (line.starts_with("AH")) {
      current.AH = keyword_value(line);
    } else if (line.starts_with("AL")) {
      current.AL = keyword_value(line);
    } else if (line.starts_with("SP")) {
      current.SP = keyword_value(line);
    } else {
      if (current.dibujos.empty()) current.dibujos.reserve(16);
      current.dibujos.emplace_back(trim(line));
    }
  });
  return catalogue;
}

void apply_selection(AirspaceCatalogue& catalogue, std::string_view selection_text) {
  // A set, so that a large selection against a large catalogue stays linear.
  std::unordered_set<std::string_view> names;
  for (std::string_view line : split_lines(selection_text)) names.insert(line);
  if (names.empty()) return;
  for (TAirSpace& record : catalogue) {
    if (names.contains(record.AN)) record.visible = true;
  }
}

std::string clase_etiqueta(std::string_view code) {
  // Rules in order; a later match replaces an earlier one.
  std::string label;
  if (code == "P") label = "Prohibida";
  if (code == "R") label = "Restringida";
  if (code == "Q") label = "Peligrosa";
  if (!code.empty() && code.front() >= 'A' && code.front() <= 'G') {
    label = "Clase ";
    label += code;
  }
  if (code == "ZP") label = "Otras zonas protegidas";
  if (code == "SV") label = "Sectores VFR";
  if (code == "AWY") label = "Aerovías";
  return label;
}

std::string file_in_folder(const std::string& folder, std::string_view name) {
  std::string path = folder;
  if (!path.empty() && path.back() != '/' && path.back() != '\\') path += '/';
  path += name;
  return path;
}

AirspaceCatalogue load_catalogue(const std::string& folder, InformeEspacios* informe) {
  const std::string airspaces_path = file_in_folder(folder, "airspaces.txt");
  if (!file_exists(airspaces_path)) return {};
  AirspaceCatalogue catalogue = read_airspaces(read_text_file(airspaces_path), informe);
  const std::string selection_path = file_in_folder(folder, "airspsel.txt");
  if (file_exists(selection_path)) apply_selection(catalogue, read_text_file(selection_path));
  return catalogue;
}

}  // namespace tolvex
