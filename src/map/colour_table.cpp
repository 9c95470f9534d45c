#include "map/colour_table.h"

namespace tolvex {

// Sorted by name: the index is what CONFIG.INI stores and what the colour lists offer.
const std::array<NamedColour, 17> colour_table = {{
    {"AMARILLO", "#FFFF00"},
    {"AZUL", "#0000FF"},
    {"BLANCO", "#FFFFFF"},
    {"CELESTE", "#80FFFF"},
    {"CYAN", "#00FFFF"},
    {"GRIS", "#808080"},
    {"LAVANDA", "#8000FF"},
    {"MAGENTA", "#FF00FF"},
    {"MARRON", "#800000"},
    {"NARANJA", "#FF8000"},
    {"NEGRO", "#000000"},
    {"ORO VIEJO", "#BBBB20"},
    {"ROJO", "#FF0000"},
    {"ROSA", "#FF8080"},
    {"TURQUESA", "#00FF80"},
    {"VERDE", "#00FF00"},
    {"VIOLETA", "#800080"},
}};

std::string colour_by_index(int index) {
  if (index < 0 || index >= static_cast<int>(colour_table.size())) return {};
  return std::string(colour_table[static_cast<std::size_t>(index)].value);
}

std::optional<std::string> colour_by_name(std::string_view name) {
  for (const NamedColour& c : colour_table)
    if (c.name == name) return std::string(c.value);
  return std::nullopt;
}

}  // namespace tolvex
