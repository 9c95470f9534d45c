// The demo folder's files must load and draw: they are what a first run shows.
#include <gtest/gtest.h>

#include <string>

#include "map/colour_table.h"
#include "overlays/airspace_catalogue.h"
#include "overlays/airspace_drawing.h"
#include "overlays/vfr_points.h"

namespace tolvex {
namespace {

TEST(OverlaysDemoData, AirspacesLoadSelectAndDraw) {
  const AirspaceCatalogue catalogue = load_catalogue(TOLVEX_DEMO_DIR);
  ASSERT_GE(catalogue.size(), 6u);
  std::size_t visible = 0;
  bool split_by_an_arc = false;
  for (const TAirSpace& r : catalogue) {
    visible += r.visible ? 1 : 0;
    EXPECT_FALSE(r.AN.empty());
    EXPECT_FALSE(clase_etiqueta(r.AC).empty()) << r.AN;
    const std::string pen_colour = r.SP.substr(r.SP.rfind(',') + 1);
    EXPECT_TRUE(colour_by_name(pen_colour).has_value()) << r.AN << ": " << r.SP;
    const auto statements = ProcesaEspacioAereo(r.AC, r.AN, r.SP, r.dibujos, true);
    ASSERT_FALSE(statements.empty()) << r.AN;
    split_by_an_arc = split_by_an_arc || statements.size() > 1;
    std::size_t points = 0;
    for (const std::string& line : r.dibujos) points += line.starts_with("DP") ? 1 : 0;
    std::size_t drawn = 0;
    for (const std::string& s : statements) {
      for (std::size_t at = s.find('['); at != std::string::npos; at = s.find('[', at + 1)) ++drawn;
      drawn -= 1;  // the outer bracket of the point list
    }
    EXPECT_EQ(drawn, points) << r.AN << ": a point line is malformed";
  }
  EXPECT_GT(visible, catalogue.size() / 2);
  EXPECT_LT(visible, catalogue.size() + 1);
  EXPECT_TRUE(split_by_an_arc);
}

TEST(OverlaysDemoData, EveryVfrPointBecomesAMarker) {
  const std::string statements = load_vfr_statements(TOLVEX_DEMO_DIR);
  std::size_t markers = 0;
  for (std::size_t at = statements.find("\r\n"); at != std::string::npos;
       at = statements.find("\r\n", at + 1)) {
    ++markers;
  }
  EXPECT_GE(markers, 15u);
  EXPECT_LE(markers, 25u);
  EXPECT_NE(statements.find("\"M\xC3\xB3stoles\""), std::string::npos);
}

}  // namespace
}  // namespace tolvex
