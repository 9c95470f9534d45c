#include "overlays/vfr_points.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "overlays/overlays_test_folder.h"

namespace tolvex {
namespace {

std::string marker(const std::string& lat, const std::string& lon, const std::string& label, int zoom = 1) {
  return "gmarkers.push(createMarker(new google.maps.LatLng(" + lat + "," + lon + ")," + label + "," +
         std::to_string(zoom) + "));\r\n";
}

TEST(VfrPoints, OneLine) {
  struct Case {
    const char* what;
    std::string line;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {"comma form", "Cuatro Vientos|40,5|-3,25", marker("40.5", "-3.25", "\"Cuatro Vientos\"")},
      {"point form", "Cuatro Vientos|40.5|-3.25", marker("40.5", "-3.25", "\"Cuatro Vientos\"")},
      {"trailing zeros dropped", "P|40.370600|-3.785000", marker("40.3706", "-3.785", "\"P\"")},
      {"whole numbers", "P|40|-3", marker("40", "-3", "\"P\"")},
      {"blanks around numbers", "P| 40,5 | -3.25 \t", marker("40.5", "-3.25", "\"P\"")},
      {"empty label", "|40.5|-3.25", marker("40.5", "-3.25", "\"\"")},
      {"blanks kept in the label", "  Torre  |40.5|-3.25", marker("40.5", "-3.25", "\"  Torre  \"")},
      {"double quote in the label", "Punto \"N\"|40|-3", marker("40", "-3", "\"Punto \\\"N\\\"\"")},
      {"backslash in the label", "A\\B|40|-3", marker("40", "-3", "\"A\\\\B\"")},
      {"limits accepted", "Esquina|-90|180", marker("-90", "180", "\"Esquina\"")},
      {"one bar", "P|40.5", ""},
      {"three bars", "P|40.5|-3.25|", ""},
      {"no bar", "P 40.5 -3.25", ""},
      {"empty line", "", ""},
      {"empty latitude", "P||-3.25", ""},
      {"empty longitude", "P|40.5|", ""},
      {"letters", "P|40.5N|-3.25", ""},
      {"two separators", "P|40,5.1|-3.25", ""},
      {"degree-minute form", "P|40 22|-3.25", ""},
      {"latitude out of range", "P|90.5|-3.25", ""},
      {"longitude out of range", "P|40.5|-180.01", ""},
      {"script in a coordinate", "P|40.5|-3);alert(1", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(build_vfr_statements(c.line), c.expected) << c.what;
}

TEST(VfrPoints, LabelsShowFromTheZoomWhereTheyClearTheEarlierOnes) {
  // A label box is 11 px of pin plus 7 px a character plus 8, 17 px high; one degree of
  // longitude is 256 * 2^zoom / 360 px.
  struct Case {
    const char* what;
    std::vector<VfrLabelPlace> points;
    std::vector<int> zooms;
  };
  const double ab = vfr_label_width_px("AB");  // 22 px: boxes 33 px wide
  const std::vector<Case> cases = {
      {"alone", {{40, -3, ab}}, {1}},
      {"one degree east: clear once 0.711 * 2^z >= 33", {{0, 0, ab}, {0, 1, ab}}, {1, 6}},
      {"one degree west: the earlier label reaches no further west", {{0, 1, ab}, {0, 0, ab}}, {1, 6}},
      {"one degree north: clear once the rows part (17 px)", {{0, 0, ab}, {1, 0, ab}}, {1, 5}},
      {"far apart", {{40, -3, ab}, {-33, 151, ab}}, {1, 1}},
      {"the same place shows at the last zoom", {{40, -3, ab}, {40, -3, ab}}, {1, kVfrMaxZoom}},
      {"earlier points win", {{0, 0, ab}, {0, 1, ab}, {0, 0.5, ab}}, {1, 6, 7}},
  };
  for (const Case& c : cases) EXPECT_EQ(vfr_label_min_zooms(c.points), c.zooms) << c.what;
  EXPECT_DOUBLE_EQ(vfr_label_width_px("Móstoles"), 7 * 8 + 8) << "characters, not bytes";
}

TEST(VfrPoints, SkippedLinesLeaveTheOthers) {
  // The later points start to show where their labels clear the first one's.
  const std::string expected = marker("40.3706", "-3.785", "\"Cuatro Vientos\"") +
                               marker("40.5", "-3.6", "\"Norte\"", 8) +
                               marker("40.1", "-3.9", "\"Sur\"", 7);
  for (const char* eol : {"\r\n", "\n"}) {
    const std::string e(eol);
    const std::string text = "Cuatro Vientos|40.3706|-3.7850" + e + "solo|40" + e + e +
                             "Norte|40,5|-3,6" + e + "sin barras" + e + "X|1|2|3" + e +
                             "Sur|40.1|-3.9" + e;
    EXPECT_EQ(build_vfr_statements(text), expected) << (e == "\n" ? "LF" : "CR LF");
  }
}

TEST(VfrPoints, ReadsTheFolderFileAfreshEachTime) {
  testing::ScratchFolder folder;
  EXPECT_EQ(load_vfr_statements(folder.folder()), "");
  // Windows-1252: "ó" is 0xF3.
  folder.write("PuntosVFR.txt", "M\xF3stoles|40,32|-3,86\r\n");
  EXPECT_EQ(load_vfr_statements(folder.folder()), marker("40.32", "-3.86", "\"M\xC3\xB3stoles\""));
  folder.write("PuntosVFR.txt", "Getafe|40.29|-3.72\n");
  EXPECT_EQ(load_vfr_statements(folder.folder()), marker("40.29", "-3.72", "\"Getafe\""));
}

TEST(VfrPoints, UnreadableFileIsAnError) {
  testing::ScratchFolder folder;
  std::filesystem::create_directory(folder.path() / "PuntosVFR.txt");
  EXPECT_THROW(load_vfr_statements(folder.folder()), std::exception);
}

}  // namespace
}  // namespace tolvex
