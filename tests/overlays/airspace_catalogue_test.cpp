#include "overlays/airspace_catalogue.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "overlays/overlays_test_folder.h"

namespace tolvex {
namespace {

// One record in a compact form: AC|AN|AH|AL|SP|dibujo;dibujo
std::string describe(const TAirSpace& r) {
  std::string text = r.AC + "|" + r.AN + "|" + r.AH + "|" + r.AL + "|" + r.SP + "|";
  for (std::size_t i = 0; i < r.dibujos.size(); ++i) {
    if (i) text += ";";
    text += r.dibujos[i];
  }
  return text;
}

std::vector<std::string> describe(const AirspaceCatalogue& catalogue) {
  std::vector<std::string> out;
  for (const TAirSpace& r : catalogue) out.push_back(describe(r));
  return out;
}

struct LineCase {
  const char* what;
  std::string text;
  std::vector<std::string> records;
};

TEST(AirspaceFile, LinesAreClassifiedAsRead) {
  const std::vector<LineCase> cases = {
      {"class code", "AC R", {"R|||||"}},
      {"two blanks", "AC  R", {"R|||||"}},
      {"third character skipped whatever it is", "ACR", {"|||||"}},
      {"longer code", "AC CTR", {"CTR|||||"}},
      {"bare keyword", "AC", {"|||||"}},
      {"repeated name replaces", "AC R\nAN uno\nAN dos", {"R|dos||||"}},
      {"leading blank makes a drawing line", "AC R\n AC Q", {"R|||||AC Q"}},
      {"lower case makes a drawing line", "AC R\nac Q\nan x", {"R|||||ac Q;an x"}},
      {"comment", "*AC R\nAC Q\n* DP 1,2", {"Q|||||"}},
      {"pen value", "AC R\nSP 0,2,AZUL", {"R||||0,2,AZUL|"}},
      {"point line keeps its keyword", "AC R\nDP -0.5,38.1", {"R|||||DP -0.5,38.1"}},
      {"drawing lines trimmed", "AC R\n\t DA 10,270,90 \t", {"R|||||DA 10,270,90"}},
      {"values trimmed of blanks and controls", "AC R\nAN\t  Sierra  \t\nAH  FL 95 ",
       {"R|Sierra|FL 95|||"}},
      {"blank lines store nothing", "AC R\n\n   \n\t\x01\nAN x", {"R|x||||"}},
      {"lines before the first record ignored", "DP 1,2\nAN suelto\nAC R\nAN x", {"R|x||||"}},
      {"CR LF lines", "AC R\r\nAN x\r\nDP 1,2\r\n\r\nAC Q\r\n", {"R|x||||DP 1,2", "Q|||||"}},
      {"keyword with no value", "AC R\nAN\nAL", {"R|||||"}},
      {"empty file", "", {}},
  };
  for (const LineCase& c : cases) {
    EXPECT_EQ(describe(parse_airspaces(c.text)), c.records) << c.what;
  }
}

TEST(AirspaceFile, LineBreaksAsInEveryTextFile) {
  // Each drawing line of the record below is one line of the file, whatever break ends it.
  const std::vector<std::string> texts = {
      "AC R\nDP 1\nDP 2\nDP 3", "AC R\r\nDP 1\r\nDP 2\r\nDP 3\r\n", "AC R\rDP 1\rDP 2\rDP 3\r",
      "AC R\r\nDP 1\rDP 2\nDP 3\n", "AC R\n\r\nDP 1\n\n\rDP 2\r\rDP 3",
  };
  for (const std::string& text : texts) {
    const AirspaceCatalogue catalogue = parse_airspaces(text);
    ASSERT_EQ(catalogue.size(), 1u);
    EXPECT_EQ(catalogue[0].dibujos, (std::vector<std::string>{"DP 1", "DP 2", "DP 3"}));
  }
}

TEST(AirspaceFile, WholeRecordInFileOrder) {
  const AirspaceCatalogue catalogue = parse_airspaces(
      "AC R\nAN LED 71\nAH FL 95\nAL SFC\nSP 0,2,AZUL\n"
      "DP -0.5,38.1\nDP -0.4,38.2\nDP -0.4,38.1\n");
  ASSERT_EQ(catalogue.size(), 1u);
  const TAirSpace& r = catalogue[0];
  EXPECT_EQ(r.AC, "R");
  EXPECT_EQ(r.AN, "LED 71");
  EXPECT_EQ(r.AH, "FL 95");
  EXPECT_EQ(r.AL, "SFC");
  EXPECT_EQ(r.SP, "0,2,AZUL");
  EXPECT_EQ(r.dibujos,
            (std::vector<std::string>{"DP -0.5,38.1", "DP -0.4,38.2", "DP -0.4,38.1"}));
  EXPECT_FALSE(r.visible);
  EXPECT_FALSE(r.previs);
}

TEST(AirspaceSelection, NamesMatchWholeLinesExactly) {
  struct Case {
    const char* what;
    std::string selection;
    std::vector<bool> visible;
  };
  const std::vector<Case> cases = {
      {"one name marks both records holding it", "LED 71", {true, true, false, false}},
      {"trailing blank selects nothing", "LED 71 ", {false, false, false, false}},
      {"leading blank selects nothing", " LED 71", {false, false, false, false}},
      {"case matters", "led 71", {false, false, false, false}},
      {"CR LF file", "TMA Madrid\r\nO'Neill\r\n", {false, false, true, true}},
      {"unknown names ignored", "Otra\nLED 71\n", {true, true, false, false}},
      {"empty file", "", {false, false, false, false}},
  };
  for (const Case& c : cases) {
    AirspaceCatalogue catalogue =
        parse_airspaces("AC R\nAN LED 71\nAC R\nAN LED 71\nAC D\nAN TMA Madrid\nAC P\nAN O'Neill\n");
    apply_selection(catalogue, c.selection);
    std::vector<bool> visible;
    for (const TAirSpace& r : catalogue) visible.push_back(r.visible);
    EXPECT_EQ(visible, c.visible) << c.what;
  }
}

TEST(AirspaceClasses, LabelsFollowTheRulesInOrder) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"P", "Prohibida"},       {"R", "Restringida"},
      {"Q", "Peligrosa"},       {"C", "Clase C"},
      {"D", "Clase D"},         {"CTR", "Clase CTR"},
      {"G", "Clase G"},         {"AWY", "Aerovías"},
      {"ZP", "Otras zonas protegidas"}, {"SV", "Sectores VFR"},
      {"W", ""},                {"", ""},
      {"H", ""},                {"r", ""},
      {"awy", ""},              {"AW", "Clase AW"},
  };
  for (const auto& [code, label] : cases) EXPECT_EQ(clase_etiqueta(code), label) << code;
}

TEST(AirspaceFiles, LoadsBothFilesFromTheFolder) {
  testing::ScratchFolder folder;
  // Windows-1252: "Á" is 0xC1, "ñ" is 0xF1.
  folder.write("airspaces.txt",
               "* datos de prueba\r\nAC R\r\nAN \xC1guila\r\nDP 1,2\r\nAC P\r\nAN Espa\xF1" "a\r\n");
  folder.write("airspsel.txt", "\xC1guila\r\n");
  const AirspaceCatalogue catalogue = load_catalogue(folder.folder());
  ASSERT_EQ(catalogue.size(), 2u);
  EXPECT_EQ(catalogue[0].AN, "\xC3\x81guila");
  EXPECT_EQ(catalogue[1].AN, "Espa\xC3\xB1" "a");
  EXPECT_TRUE(catalogue[0].visible);
  EXPECT_FALSE(catalogue[1].visible);
}

TEST(AirspaceFiles, Utf8WithByteOrderMark) {
  testing::ScratchFolder folder;
  folder.write("airspaces.txt", "\xEF\xBB\xBF" "AC R\nAN \xC3\x81guila\n");
  const AirspaceCatalogue catalogue = load_catalogue(folder.folder());
  ASSERT_EQ(catalogue.size(), 1u);
  EXPECT_EQ(catalogue[0].AC, "R");
  EXPECT_EQ(catalogue[0].AN, "\xC3\x81guila");
  EXPECT_FALSE(catalogue[0].visible);  // no airspsel.txt
}

TEST(AirspaceFiles, MissingAirspaceFileIgnoresTheSelection) {
  testing::ScratchFolder folder;
  folder.write("airspsel.txt", "LED 71\n");
  EXPECT_TRUE(load_catalogue(folder.folder()).empty());
}

TEST(AirspaceFiles, UnreadableFileIsAnError) {
  testing::ScratchFolder folder;
  std::filesystem::create_directory(folder.path() / "airspaces.txt");
  EXPECT_THROW(load_catalogue(folder.folder()), std::exception);
}

}  // namespace
}  // namespace tolvex
