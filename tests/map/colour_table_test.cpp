#include "map/colour_table.h"

#include <gtest/gtest.h>

namespace tolvex {
namespace {

TEST(ColourTable, IndexIsThePositionInNameOrder) {
  // Stored COLOR keys are positions in the sorted list the windows offer.
  for (std::size_t i = 1; i < colour_table.size(); ++i)
    EXPECT_LT(colour_table[i - 1].name, colour_table[i].name) << i;
}

TEST(ColourTable, IndexLookup) {
  struct Case { int index; const char* value; };
  const Case cases[] = {
      {0, "#FFFF00"}, {3, "#80FFFF"}, {6, "#8000FF"}, {8, "#800000"}, {10, "#000000"},
      {11, "#BBBB20"}, {14, "#00FF80"}, {16, "#800080"}, {-1, ""}, {17, ""}, {1000, ""},
  };
  for (const Case& c : cases) EXPECT_EQ(colour_by_index(c.index), c.value) << c.index;
}

TEST(ColourTable, NameLookupIsExact) {
  struct Case { const char* name; std::optional<std::string> value; };
  const Case cases[] = {
      {"AMARILLO", "#FFFF00"}, {"ORO VIEJO", "#BBBB20"}, {"VIOLETA", "#800080"}, {"MARRON", "#800000"},
      {"ROSA", "#FF8080"},     {"oro viejo", std::nullopt}, {"ORO  VIEJO", std::nullopt},
      {"ROJO ", std::nullopt}, {"", std::nullopt},          {"MARRÓN", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(colour_by_name(c.name), c.value) << c.name;
}

}  // namespace
}  // namespace tolvex
