#include "route/flight_plan_table.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tolvex {
namespace {

TEST(FlightPlanTable, LegsWithTimesFuelAndTotals) {
  const std::vector<FilaPlan> rows = rellenar_plan("120", "12,5", "30|90\n45|180\n");
  ASSERT_EQ(rows.size(), 2u);
  // 0,25 h and 0,375 h -> 0,38 h; fuel 3,125 -> 3,1 and 4,75 -> 4,8; the total adds the rounded fuel.
  EXPECT_EQ(rows[0], (FilaPlan{"1", "90", "30", "30,00", "00:15", "00:15", "3,1", "3,1"}));
  EXPECT_EQ(rows[1], (FilaPlan{"2", "180", "45", "75,00", "00:23", "00:38", "4,8", "7,9"}));

  EXPECT_EQ(rellenar_plan("120", "12,5", "0|45\n")[0], (FilaPlan{"1", "45", "0", ",00", "00:00", "00:00", "0,0", "0,0"}));
  // 241 NM at 120 kt is 2,01 h; 118,8 + 1,2 NM give 0,99 h + 0,01 h.
  EXPECT_EQ(rellenar_plan("120", "", "241|0\n")[0][4], "02:01");
  EXPECT_EQ(rellenar_plan("120", "", "118.8|0\n1.2|0\n")[1], (FilaPlan{"2", "0", "1,2", "120,00", "00:01", "01:00", "", ""}));
}

// At 120 kt these legs take a written half of a hundredth (21 NM: 0,175 h), which the binary
// value misses by a hair: the time rounds up to 0,18 h (10,8 min), the fuel 12,5 x 0,18 to 2,3.
TEST(FlightPlanTable, LegTimesRoundTheirWrittenHalvesUp) {
  const std::pair<const char*, FilaPlan> cases[] = {
      {"9|0\n", {"1", "0", "9", "9,00", "00:05", "00:05", "1,0", "1,0"}},
      {"21|0\n", {"1", "0", "21", "21,00", "00:11", "00:11", "2,3", "2,3"}},
      {"51|0\n", {"1", "0", "51", "51,00", "00:26", "00:26", "5,4", "5,4"}},
      {"57|0\n", {"1", "0", "57", "57,00", "00:29", "00:29", "6,0", "6,0"}},
      {"69|0\n", {"1", "0", "69", "69,00", "00:35", "00:35", "7,3", "7,3"}},
      {"87|0\n", {"1", "0", "87", "87,00", "00:44", "00:44", "9,1", "9,1"}},
      {"99|0\n", {"1", "0", "99", "99,00", "00:50", "00:50", "10,4", "10,4"}},
  };
  for (const auto& [leg, row] : cases) EXPECT_EQ(rellenar_plan("120", "12,5", leg)[0], row) << leg;
}

TEST(FlightPlanTable, TextsThatAreNoNumbersLeaveTheirColumnsEmpty) {
  struct Case {
    const char* veloc;
    const char* consumo;
    FilaPlan row;
  };
  const Case cases[] = {
      {"", "12,5", {"1", "90", "60", "60,00", "", "", "", ""}},
      {"ciento", "12,5", {"1", "90", "60", "60,00", "", "", "", ""}},
      {"0", "12,5", {"1", "90", "60", "60,00", "", "", "", ""}},
      {"120", "", {"1", "90", "60", "60,00", "00:30", "00:30", "", ""}},
      {"120", "12.5", {"1", "90", "60", "60,00", "00:30", "00:30", "", ""}},
  };
  for (const Case& c : cases) EXPECT_EQ(rellenar_plan(c.veloc, c.consumo, "60|90\n")[0], c.row) << c.veloc << " " << c.consumo;
}

TEST(FlightPlanTable, HoursAndMinutes) {
  const std::pair<double, const char*> cases[] = {{1.5, "01:30"}, {0.75, "00:45"}, {0.38, "00:23"},
                                                  {1.15, "01:09"}, {12.25, "12:15"}, {0.99 + 0.01, "01:00"}};
  for (const auto& [hours, text] : cases) EXPECT_EQ(formato_hora(hours), text) << hours;
}

TEST(FlightPlanTable, ProfileInFeet) {
  const PerfilTerreno p = rellenar_perfil("0|100|NaN|12.5|");
  ASSERT_EQ(p.puntos.size(), 4u);
  EXPECT_EQ(p.puntos[1], (std::array<double, 2>{2, 328}));  // 328,08399
  EXPECT_EQ(p.puntos[2], (std::array<double, 2>{3, 0}));
  EXPECT_EQ(p.puntos[3], (std::array<double, 2>{4, 41}));  // 41,01
  EXPECT_EQ(p.eje_max_ft(), 1328);
  EXPECT_EQ(rellenar_perfil("-5|0|").eje_max_ft(), 1000);
  EXPECT_EQ(paso_eje(1328, 100, 8), 200);
  EXPECT_EQ(aviso_perfil(p), "");
}

// A sample the elevation service gave nothing for is no terrain at 0 ft: it is left out and said.
TEST(FlightPlanTable, ProfileWithoutTerrainData) {
  const PerfilTerreno some = rellenar_perfil("100|?|0|");
  EXPECT_EQ(some.puntos, (std::vector<std::array<double, 2>>{{1, 328}, {3, 0}}));
  EXPECT_EQ(some.muestras, 3);
  EXPECT_EQ(aviso_perfil(some), "Sin datos del terreno en 1 de 3 puntos (el servicio de elevaciones no ha respondido): "
                                "el perfil muestra solo los dem\xC3\xA1s.");
  const PerfilTerreno none = rellenar_perfil("?|?|");
  EXPECT_TRUE(none.puntos.empty());
  EXPECT_EQ(none.eje_max_ft(), 1000);
  EXPECT_EQ(aviso_perfil(none),
            "El perfil no tiene datos del terreno: el servicio de elevaciones no ha respondido o ha rechazado "
            "las consultas.");
}

TEST(FlightPlanTable, ExportAlignsUnderTheHeadersAndLeavesLongCellsWhole) {
  std::vector<FilaPlan> rows = rellenar_plan("120", "12,5", "30|90\n");
  rows[0][1] = "1234567";
  EXPECT_EQ(exportar_plan(rows),
            " Leg Hdg(\xC2\xBA) Dist.(NM) Ac.Dist.(NM) Time(h:m) Ac.Time(h:m) Fuel(gl) Ac.Fuel(gl)\r\n"
            " --- ------ --------- ------------ --------- ------------ -------- -----------\r\n"
            "   1 1234567        30        30,00     00:15        00:15      3,1         3,1\r\n");
}

}  // namespace
}  // namespace tolvex
