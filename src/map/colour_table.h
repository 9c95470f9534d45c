#pragma once
// The seventeen Spanish colour names of line colours, sorted, with their #RRGGBB values.
#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace tolvex {

struct NamedColour {
  std::string_view name;   // "AMARILLO" ... "VIOLETA"
  std::string_view value;  // "#FFFF00" ...
};

extern const std::array<NamedColour, 17> colour_table;

// Index 0..16 -> value; any other index gives the empty text.
std::string colour_by_index(int index);
// Exact, case-sensitive name -> value; nullopt when the name is not in the table.
std::optional<std::string> colour_by_name(std::string_view name);

}  // namespace tolvex
