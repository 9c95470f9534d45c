// The demo folder's files must load and draw: they are what a first run shows.
#include <gtest/gtest.h>

#include <string>

#include "overlays/airspace_catalogue.h"
#include "overlays/airspace_drawing.h"
#include "overlays/vfr_points.h"

namespace tolvex {
namespace {

TEST(OverlaysDemoData, AirspacesLoadSelectAndDraw) {
  InformeEspacios informe;
  const AirspaceCatalogue catalogue = load_catalogue(TOLVEX_DEMO_DIR, &informe);
  EXPECT_TRUE(informe.estandar);
  EXPECT_EQ(informe.omitidos, 0u);
  ASSERT_GE(catalogue.size(), 6u);
  std::size_t visible = 0;
  bool ctr_has_an_arc = false;
  for (const TAirSpace& r : catalogue) {
    visible += r.visible ? 1 : 0;
    EXPECT_FALSE(r.AN.empty());
    EXPECT_FALSE(clase_etiqueta(r.AC).empty()) << r.AN;
    EXPECT_EQ(r.color_pluma.size(), 7u) << r.AN << ": " << r.SP;
    EXPECT_NE(r.inferior.referencia, ReferenciaLimite::Ilegible) << r.AN;
    EXPECT_NE(r.superior.referencia, ReferenciaLimite::Ilegible) << r.AN;
    EXPECT_EQ(sentencias_espacio(r, true).size(), 1u) << r.AN;
    if (r.AN.starts_with("CTR Cuatro Vientos")) ctr_has_an_arc = !r.curvas.empty();
  }
  EXPECT_GT(visible, catalogue.size() / 2);
  EXPECT_LT(visible, catalogue.size() + 1);
  EXPECT_TRUE(ctr_has_an_arc);
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
