// Standard OpenAir files: coordinates, limits, which dialect a file is, and the outlines the
// reader makes of points, arcs and circles.
#include "overlays/openair_reader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "base/number_format.h"
#include "base/text_file.h"
#include "overlays/airspace_drawing.h"
#include "overlays/sphere_geometry.h"

namespace tolvex {
namespace {

struct PointCase {
  const char* text;
  std::optional<PuntoGeo> expected;
};

TEST(OpenAirCoordinates, FormsAndRanges) {
  const double s = 1.0 / 3600, m = 1.0 / 60;
  const std::vector<PointCase> cases = {
      {"50:06:11 N 015:14:37 E", PuntoGeo{50 + 6 * m + 11 * s, 15 + 14 * m + 37 * s}},
      {"43:32:49.0N 080:12:30.0W", PuntoGeo{43 + 32 * m + 49 * s, -(80 + 12 * m + 30 * s)}},
      {"15:40.365 S 34:54.992 E", PuntoGeo{-(15 + 40.365 * m), 34 + 54.992 * m}},
      {"14:55.333 S 33:59 E", PuntoGeo{-(14 + 55.333 * m), 33 + 59 * m}},
      {"  50:06:11.5n,015:14:37e  ", PuntoGeo{50 + 6 * m + 11.5 * s, 15 + 14 * m + 37 * s}},
      {"90:00:00 N 180:00:00 W", PuntoGeo{90, -180}},
      {"50:06:11 015:14:37 E", std::nullopt},        // no hemisphere
      {"015:14:37 E 50:06:11 N", std::nullopt},      // longitude first
      {"42:32:60.0N 82:36:38.7W", PuntoGeo{42 + 33 * m, -(82 + 36 * m + 38.7 * s)}},  // rounded up
      {"54:08:31.N 105:01:17.W", PuntoGeo{54 + 8 * m + 31 * s, -(105 + 1 * m + 17 * s)}},
      {"50:61:00 N 015:14:37 E", std::nullopt},      // 61 minutes
      {"50:06:60.5 N 015:14:37 E", std::nullopt},    // beyond 60 seconds
      {"91:00:00 N 015:14:37 E", std::nullopt},
      {"50:06:11 N 180:00:01 E", std::nullopt},
      {"50:06.5:11 N 015:14:37 E", std::nullopt},    // decimal minutes and seconds
      {"50 N 015 E", std::nullopt},                  // degrees alone
      {"50:06:11 N 015:14:37 E x", std::nullopt},
      {"-3.56,40.47", std::nullopt},
      {"", std::nullopt},
  };
  for (const PointCase& c : cases) {
    const auto p = leer_punto_openair(c.text);
    ASSERT_EQ(p.has_value(), c.expected.has_value()) << c.text;
    if (!p) continue;
    EXPECT_NEAR(p->lat, c.expected->lat, 1e-9) << c.text;
    EXPECT_NEAR(p->lon, c.expected->lon, 1e-9) << c.text;
  }
}

struct LimitCase {
  const char* text;
  ReferenciaLimite referencia;
  const char* shown;
};

TEST(AirspaceLimits, ReadAndShown) {
  using R = ReferenciaLimite;
  const std::vector<LimitCase> cases = {
      {"GND", R::Superficie, "SFC"},          {"SFC", R::Superficie, "SFC"},
      {"0 ft AGL", R::Superficie, "SFC"},     {"6400MSL", R::SobreMar, "6400 ft AMSL"},
      {"1001ft MSL", R::SobreMar, "1001 ft AMSL"},   {"2000 ft AMSL", R::SobreMar, "2000 ft AMSL"},
      {"7500 ft", R::SobreMar, "7500 ft AMSL"},      {"3500", R::SobreMar, "3500 ft AMSL"},
      {"1000AGL", R::SobreTerreno, "1000 ft AGL"},   {"1500 ft GND", R::SobreTerreno, "1500 ft AGL"},
      {"600 m AMSL", R::SobreMar, "600 m AMSL"},     {"300M AGL", R::SobreTerreno, "300 m AGL"},
      {"19501ft STD", R::Estandar, "19501 ft STD"},  {"FL65", R::NivelVuelo, "FL 65"},
      {" FL 145", R::NivelVuelo, "FL 145"},          {"fl 95", R::NivelVuelo, "FL 95"},
      {"UNLIM", R::Ilimitado, "UNL"},                {"UNL", R::Ilimitado, "UNL"},
      // What does not read is shown as written, never dropped.
      {"NOTAM", R::Ilegible, "NOTAM"},               {"2000 ft AMSL or 1000 ft AGL", R::Ilegible, "2000 ft AMSL or 1000 ft AGL"},
      {"FL", R::Ilegible, "FL"},                     {"1e9999 ft", R::Ilegible, "1e9999 ft"},
      {"5000 ft QNH", R::Ilegible, "5000 ft QNH"},   {"", R::Ilegible, ""},
  };
  for (const LimitCase& c : cases) {
    const LimiteVertical l = leer_limite(c.text);
    EXPECT_EQ(l.referencia, c.referencia) << c.text;
    EXPECT_EQ(l.mostrado(), c.shown) << c.text;
    EXPECT_EQ(l.texto, std::string(trim(c.text))) << c.text;
  }
}

struct DialectCase {
  const char* what;
  const char* text;
  bool standard;
};

TEST(OpenAirDialect, DecidedPerFile) {
  const std::vector<DialectCase> cases = {
      {"DMS points", "AC R\nDP 50:06:11 N 015:14:37 E\n", true},
      {"a circle only", "AC D\nV X=15:40.365 S 34:54.992 E\nDC 20\n", true},
      {"a DB arc only", "AC D\nDB 50:00:00 N 015:00:00 E, 50:10:00 N 015:00:00 E\n", true},
      {"decimal points", "AC R\nDP -0.5,38.1\nDP -0.4,38.2\n", false},
      {"decimal points with a DMS centre keep the decimal rules",
       "AC D\nDP -3.9,40.3\nV X=40:22:12 N 003:47:06 W\nDA 5,90,270\nDP -3.6,40.3\n", false},
      {"a decimal point later in the file", "AC R\nDP 50:06:11 N 015:14:37 E\nAC Q\nDP 1,2\n", false},
      {"no coordinates at all", "AC R\nAN x\n", false},
      {"a comment holding a DMS point", "* DP 50:06:11 N 015:14:37 E\nAC R\n", false},
  };
  for (const DialectCase& c : cases) EXPECT_EQ(is_standard_openair(c.text), c.standard) << c.what;
}

// Every record and coordinate form, in CR LF with a byte-order mark.
const char kStandardFile[] =
    "\xEF\xBB\xBF* Fichero de prueba\r\n"
    "AC CTR\r\n"
    "AY CTR\r\n"
    "AN Círculo  * un comentario\r\n"
    "AL GND\r\n"
    "AH 2500ft MSL\r\n"
    "AF 118.100\r\n"
    "AG Torre\r\n"
    "SP 0,3,0,128,255\r\n"
    "SB -1,-1,-1\r\n"
    "AT 40:00:00 N 003:00:00 W\r\n"
    "V X=40:00:00 N 003:00:00 W\r\n"
    "DC 5 *NM\r\n"
    "\r\n"
    "AC R\r\n"
    "AN Sector\r\n"
    "AL FL 65\r\n"
    "AH UNL\r\n"
    "V X=40:00:00N 003:00:00W\r\n"
    "DP 40:00:00N 003:00:00W\r\n"
    "DA 10,0,90\r\n"
    "\r\n"
    "AC Q\r\n"
    "AN Contrario\r\n"
    "V D=-\r\n"
    "V X=40:00.000 N 003:00.000 W\r\n"
    "DP 40:00:00 N 003:00:00 W\r\n"
    "DB 40:10:00 N 003:00:00 W, 40:00:00 N 002:47:00 W\r\n"
    "DY 40:00:00 N 003:00:00 W\r\n"
    "\r\n"
    "AC P\r\n"
    "AN Triángulo\r\n"
    "AL 1000 ft AGL\r\n"
    "AH 5000 ft QNH\r\n"
    "DP 41:00:00 N 004:00:00 W\r\n"
    "DP 41:10:00 N 004:00:00 W\r\n"
    "DP 41:10:00 N 003:50:00 W ; a comment\r\n"
    "DP 41:00:00 N 004:00:00 W\r\n";

const TAirSpace& named(const AirspaceCatalogue& c, const std::string& name) {
  for (const TAirSpace& a : c)
    if (a.AN == name) return a;
  static const TAirSpace none;
  ADD_FAILURE() << "no airspace " << name;
  return none;
}

// Largest turn between two consecutive sampled points, seen from the centre.
double largest_step(const TAirSpace& a, const TramoCurvo& t) {
  double worst = 0;
  for (std::size_t i = t.desde; i < t.hasta; ++i) {
    double d = std::abs(rumbo_grados(t.centro, a.contorno[i + 1]) - rumbo_grados(t.centro, a.contorno[i]));
    worst = std::max(worst, std::min(d, 360 - d));
  }
  return worst;
}

TEST(OpenAirReader, RecordsArcsAndCircles) {
  InformeEspacios informe;
  const AirspaceCatalogue c = read_airspaces(decode_text(kStandardFile), &informe);
  EXPECT_TRUE(informe.estandar);
  EXPECT_EQ(informe.omitidos, 0u);
  ASSERT_EQ(c.size(), 4u);
  const PuntoGeo centre{40, -3};

  const TAirSpace& circle = named(c, "Círculo");
  EXPECT_EQ(circle.AC, "CTR");
  EXPECT_EQ(circle.AY, "CTR");
  EXPECT_EQ(circle.AF, "118.100");
  EXPECT_EQ(circle.AG, "Torre");
  EXPECT_EQ(circle.AL, "SFC");
  EXPECT_EQ(circle.AH, "2500 ft AMSL");
  EXPECT_EQ(circle.inferior.texto, "GND");
  EXPECT_EQ(circle.color_pluma, "#0080FF");
  EXPECT_EQ(circle.grosor, 3);
  EXPECT_EQ(circle.SB, "-1,-1,-1");
  ASSERT_EQ(circle.curvas.size(), 1u);
  EXPECT_GE(circle.contorno.size(), 73u);  // 72 vertices at most 5 degrees apart, closed

  const TAirSpace& sector = named(c, "Sector");
  EXPECT_EQ(sector.AL, "FL 65");
  EXPECT_EQ(sector.AH, "UNL");
  // Clockwise from north to east: the middle of the arc lies north-east of the centre.
  const TramoCurvo& quarter = sector.curvas.at(0);
  const PuntoGeo mid = sector.contorno[(quarter.desde + quarter.hasta) / 2];
  EXPECT_GT(mid.lat, 40.0);
  EXPECT_GT(mid.lon, -3.0);
  EXPECT_NEAR(rumbo_grados(centre, sector.contorno[quarter.desde]), 0.0, 1e-6);
  EXPECT_NEAR(rumbo_grados(centre, sector.contorno[quarter.hasta]), 90.0, 1e-6);

  // Counter-clockwise from north to east goes round by the west and south.
  const TAirSpace& ccw = named(c, "Contrario");
  const TramoCurvo& three_quarters = ccw.curvas.at(0);
  EXPECT_EQ(three_quarters.hasta - three_quarters.desde, 54u);  // 270 degrees in 55 steps, the end apart
  const PuntoGeo south_west = ccw.contorno[(three_quarters.desde + three_quarters.hasta + 1) / 2];
  EXPECT_LT(south_west.lat, 40.0);
  EXPECT_LT(south_west.lon, -3.0);
  // From and to the exact end points written in the file.
  EXPECT_EQ(ccw.contorno[three_quarters.desde], (PuntoGeo{40 + 10.0 / 60, -3}));
  EXPECT_EQ(ccw.contorno[three_quarters.hasta + 1], (PuntoGeo{40, -(2 + 47.0 / 60)}));

  const TAirSpace& triangle = named(c, "Triángulo");
  EXPECT_EQ(triangle.AL, "1000 ft AGL");
  EXPECT_EQ(triangle.AH, "5000 ft QNH");
  EXPECT_EQ(triangle.contorno.size(), 4u);  // the closing point not doubled
  EXPECT_TRUE(triangle.curvas.empty());

  for (const TAirSpace& a : c) {
    ASSERT_GE(a.contorno.size(), 4u) << a.AN;
    EXPECT_EQ(a.contorno.front(), a.contorno.back()) << a.AN;
    for (const TramoCurvo& t : a.curvas) {
      EXPECT_LE(largest_step(a, t), kPasoArcoGrados + 1e-9) << a.AN;
      for (std::size_t i = t.desde; i <= t.hasta; ++i)
        EXPECT_NEAR(distancia_m(t.centro, a.contorno[i]), t.radio_m, 1.0) << a.AN << " point " << i;
    }
  }
  EXPECT_NEAR(circle.curvas[0].radio_m, 5 * 1852.0, 1e-9);
  EXPECT_NEAR(sector.curvas[0].radio_m, 10 * 1852.0, 1e-9);
}

TEST(OpenAirReader, Windows1252AndLoneLineFeeds) {
  const std::string latin1 = "AC R\nAN Zona \xC1vila\nDP 40:00:00 N 004:00:00 W\nDP 40:01:00 N 004:00:00 W\n"
                             "DP 40:01:00 N 004:01:00 W\n";
  const AirspaceCatalogue c = read_airspaces(decode_text(latin1), nullptr);
  ASSERT_EQ(c.size(), 1u);
  EXPECT_EQ(c[0].AN, "Zona \xC3\x81vila");
}

struct BadCase {
  const char* what;
  const char* records;  // one airspace, after "AC R\nAN Mala\n"
  std::size_t line;     // of the aviso
};

TEST(OpenAirReader, BadRecordsSkipTheirAirspaceOnly) {
  const std::string good = "AC D\nAN Buena\nDP 40:00:00 N 004:00:00 W\nDP 40:01:00 N 004:00:00 W\nDP 40:01:00 N 004:01:00 W\n";
  const std::vector<BadCase> cases = {
      {"bad point", "DP 40:00:00 N 004:00:00 W\nDP 40:61:00 N 004:00:00 W\nDP 40:01:00 N 004:01:00 W\n", 4},
      {"decimal circle radius missing", "V X=40:00:00 N 004:00:00 W\nDC\n", 4},
      {"radius not a number", "V X=40:00:00 N 004:00:00 W\nDC cinco\n", 4},
      {"negative radius", "V X=40:00:00 N 004:00:00 W\nDC -5\n", 4},
      {"circle before any centre", "DC 5\n", 3},
      {"arc before any centre", "DA 5,0,90\nDP 40:00:00 N 004:00:00 W\n", 3},
      {"DA with two numbers", "V X=40:00:00 N 004:00:00 W\nDA 5,90\n", 4},
      {"DB with one point", "V X=40:00:00 N 004:00:00 W\nDB 40:00:00 N 004:00:00 W\n", 4},
      {"bad centre", "V X=40:00 004:00 W\nDC 5\n", 3},
      {"bad direction", "V D=x\nV X=40:00:00 N 004:00:00 W\nDC 5\n", 3},
      {"two points only", "DP 40:00:00 N 004:00:00 W\nDP 40:01:00 N 004:00:00 W\n", 1},
      {"no geometry", "AL SFC\n", 1},
  };
  for (const BadCase& c : cases) {
    const std::string text = std::string("AC R\nAN Mala\n") + c.records + good;
    InformeEspacios informe;
    const AirspaceCatalogue catalogue = parse_standard_openair(text, &informe);
    ASSERT_EQ(catalogue.size(), 1u) << c.what;
    EXPECT_EQ(catalogue[0].AN, "Buena") << c.what;
    EXPECT_EQ(informe.omitidos, 1u) << c.what;
    ASSERT_EQ(informe.avisos.size(), 1u) << c.what;
    EXPECT_EQ(informe.avisos[0].linea, c.line) << c.what;
    EXPECT_NE(informe.avisos[0].motivo.find("\"Mala\""), std::string::npos) << c.what;
  }
}

TEST(OpenAirReader, StatementCarriesOutlinePenAndInfo) {
  const AirspaceCatalogue c = read_airspaces(
      "AC C\nAN Torre's\nAL GND\nAH FL 95\nAF 118.1\nSP 0,1,255,0,0\n"
      "DP 40:00:00 N 004:00:00 W\nDP 40:30:00 N 004:00:00 W\nDP 40:30:00 N 003:30:00 W\n",
      nullptr);
  ASSERT_EQ(c.size(), 1u);
  const std::vector<std::string> s = sentencias_espacio(c[0], true);
  ASSERT_EQ(s.size(), 1u);
  EXPECT_EQ(s[0],
            "NuevoPoligono('Clase C<br>','Torre\\'s','#FF0000',[[-4,40],[-4,40.5],[-3.5,40.5],[-4,40]],1,"
            "'Límite superior: FL 95\\nLímite inferior: SFC\\nFrecuencia: 118.1');");
  EXPECT_EQ(sentencias_espacio(c[0], false)[0].rfind("AgregarPoligono('Clase C<br>','Torre\\'s',", 0), 0u);
}

}  // namespace
}  // namespace tolvex
