// The airspace selection window's working selection, without the window.
#include <gtest/gtest.h>

#include <functional>

#include "map/map_settings.h"
#include "overlays/airspace_selection.h"

namespace tolvex {
namespace {

TAirSpace airspace(std::string ac, std::string an, std::string al, bool visible = false) {
  TAirSpace a;
  a.AC = std::move(ac);
  a.AN = std::move(an);
  a.AH = "FL 95";
  a.AL = std::move(al);
  a.SP = "0,2,VERDE";
  a.dibujos = {"DP -0.5,38.1", "DP -0.4,38.2", "DP -0.4,38.1"};
  a.visible = visible;
  return a;
}

constexpr char kWhite[] = "#FFFFFF";
constexpr char kYellow[] = "#FFFF00";
constexpr char kGreen[] = "#008000";

TEST(SelectionModel, ClassesTalliesAndItems) {
  AirspaceCatalogue cat = {airspace("R", "LED 71", "SFC", true), airspace("CTR", "MADRID", "SFC"),
                           airspace("R", "LED 72", "1000 FT")};
  AirspaceSelection s(cat);
  EXPECT_EQ(s.lesp(), (std::vector<std::string>{"R", "CTR"}));
  EXPECT_EQ(elemento_clase("R"), "R Restringida");
  EXPECT_EQ(elemento_clase("SV"), "SV Sectores VFR");
  EXPECT_EQ(elemento_clase("XX"), "XX ");
  EXPECT_EQ(s.mt()[0].total, 2);
  EXPECT_EQ(s.mt()[0].marcados, 1);
  EXPECT_TRUE(cat[0].previs) << "the working selection starts as the committed one";
  const auto items = s.items(0);
  ASSERT_EQ(items.size(), 2u);
  EXPECT_EQ(items[0].name, "LED 71");
  EXPECT_TRUE(items[0].ticked);
  EXPECT_FALSE(items[1].ticked);
}

TEST(SelectionModel, SwatchFollowsTicksMarkAllAndSfc) {
  AirspaceCatalogue cat = {airspace("R", "A1", "SFC"), airspace("R", "A2", "1000 FT"), airspace("R", "A3", "SFC "),
                           airspace("Q", "B1", "GND")};
  AirspaceSelection s(cat);
  struct Step {
    std::function<void()> act;
    const char* swatch;
    std::vector<bool> marks;  // previs of A1..A3
  };
  std::vector<bool> ticks;
  const Step steps[] = {
      {[&] { s.set_ticked("A1", true); }, kYellow, {true, false, false}},
      {[&] { s.set_ticked("A2", true); }, kYellow, {true, true, false}},
      {[&] { s.set_ticked("A3", true); }, kGreen, {true, true, true}},
      {[&] { s.set_ticked("A2", false); }, kYellow, {true, false, true}},
      {[&] { s.unmark_all(0); }, kWhite, {false, false, false}},
      {[&] { s.mark_all(0); }, kGreen, {true, true, true}},
      // Only an exact "SFC" is the surface: "SFC " with a blank is not.
      {[&] { s.mark_by_floor(0, true, {"A1", "A2", "A3"}, &ticks); }, kYellow, {true, false, false}},
      {[&] { s.mark_by_floor(0, false, {"A1", "A2", "A3"}, &ticks); }, kYellow, {false, true, true}},
  };
  for (std::size_t i = 0; i < std::size(steps); ++i) {
    steps[i].act();
    EXPECT_EQ(s.swatch(0), steps[i].swatch) << "step " << i;
    EXPECT_EQ((std::vector<bool>{cat[0].previs, cat[1].previs, cat[2].previs}), steps[i].marks) << "step " << i;
  }
  EXPECT_EQ(ticks, (std::vector<bool>{false, true, true}));
  EXPECT_EQ(s.swatch(1), kWhite);
  std::vector<bool> none;
  s.mark_by_floor(1, true, {"B1"}, &none);  // "GND" is not "SFC"
  EXPECT_EQ(s.swatch(1), kWhite);
  EXPECT_EQ(none, std::vector<bool>{false});
}

TEST(SelectionModel, StatementsOfEachAction) {
  AirspaceCatalogue cat = {airspace("R", "O'Neill", "SFC"), airspace("R", "A2", "SFC", true)};
  AirspaceSelection s(cat);
  EXPECT_EQ(s.set_ticked("O'Neill", true),
            (AirspaceSelection::Batch{
                "NuevoPoligono('Restringida<br>','O\\'Neill','#00FF00',[[ -0.5,38.1],[ -0.4,38.2],[ -0.4,38.1]],2,"
                "'Límite superior: FL 95\\nLímite inferior: SFC');"}));
  EXPECT_EQ(s.set_ticked("O'Neill", false), (AirspaceSelection::Batch{"BorrarEspacio('O\\'Neill');"}));
  const auto highlight = s.highlight("A2");
  ASSERT_EQ(highlight.size(), 2u);
  EXPECT_EQ(highlight[0], "BorrarResaltado();");
  EXPECT_EQ(highlight[1].rfind("AgregarPoligono('Restringida<br>','A2',", 0), 0u);
  EXPECT_TRUE(s.highlight("nothing").empty());
  const auto initial = s.initial_batches();
  ASSERT_EQ(initial.size(), 1u);
  EXPECT_EQ(initial[0][0].rfind("NuevoPoligono('Restringida<br>','A2',", 0), 0u);
  // Marking all sends only the ones not yet marked, one batch each.
  EXPECT_EQ(s.mark_all(0).size(), 1u);
}

TEST(SelectionModel, TwelfthClassHasNoSwatch) {
  AirspaceCatalogue cat;
  for (const char* code : {"R", "Q", "P", "A", "B", "C", "D", "E", "G", "SV", "ZP", "AWY"})
    cat.push_back(airspace(code, std::string("N") + code, "SFC", true));
  AirspaceSelection s(cat);
  ASSERT_EQ(s.lesp().size(), 12u);
  EXPECT_EQ(s.swatch(10), kGreen);
  EXPECT_EQ(s.swatch(11), "");
  EXPECT_EQ(s.mt()[11].marcados, 1) << "listed and tallied all the same";
}

TEST(SelectionModel, DuplicateNamesResolveToTheFirst) {
  AirspaceCatalogue cat = {airspace("R", "TWIN", "SFC"), airspace("R", "TWIN", "SFC"), airspace("R", "OTHER", "SFC")};
  AirspaceSelection s(cat);
  s.set_ticked("TWIN", true);
  EXPECT_TRUE(cat[0].previs);
  EXPECT_FALSE(cat[1].previs);
  s.mark_all(0);
  s.set_ticked("TWIN", false);  // the second list item of that name reaches the first entry too
  EXPECT_FALSE(cat[0].previs);
  EXPECT_TRUE(cat[1].previs);
  EXPECT_EQ(s.mt()[0].marcados, 2) << "the tally stays the count of marked airspaces";
  EXPECT_EQ(s.swatch(0), kYellow);
  EXPECT_EQ(s.set_ticked("TWIN", false), (AirspaceSelection::Batch{"BorrarEspacio('TWIN');"}));
}

TEST(SelectionModel, AcceptTextAndDiscard) {
  AirspaceCatalogue cat = {airspace("R", "LED 71", "SFC", true), airspace("CTR", "MADRID", "SFC"),
                           airspace("R", "Ñandú", "SFC")};
  {
    AirspaceSelection s(cat);
    s.set_ticked("LED 71", false);
    s.set_ticked("MADRID", true);
    s.discard();
  }
  EXPECT_TRUE(cat[0].previs);
  EXPECT_FALSE(cat[1].previs);
  AirspaceSelection s(cat);
  s.set_ticked("MADRID", true);
  s.set_ticked("Ñandú", true);
  EXPECT_EQ(s.selection_text(), "LED 71\r\nMADRID\r\nÑandú\r\n");
  EXPECT_FALSE(cat[1].visible) << "nothing is committed before Aceptar";
  s.commit();
  EXPECT_TRUE(cat[1].visible && cat[2].visible && cat[0].visible);
  s.unmark_all(0);
  s.unmark_all(1);
  EXPECT_EQ(s.selection_text(), "");
}

TEST(SelectionModel, PageTakesTheProvider) {
  MapSettings maps;
  maps.proveedor = "osm";
  const std::string page = build_airspace_page(maps);
  EXPECT_EQ(page.find("##"), std::string::npos);
  EXPECT_NE(page.find("src=\"tolvex_maps.js\""), std::string::npos);
  maps.proveedor = "google";
  maps.google_js = "https://maps.example/api/js?libraries=geometry";
  EXPECT_NE(build_airspace_page(maps).find("src=\"https://maps.example/api/js?libraries=geometry\""),
            std::string::npos);
}

}  // namespace
}  // namespace tolvex
