#include "route/route_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tolvex {
namespace {

struct Points {
  std::vector<std::string> lon, lat;
};

Points points(const RouteFileContents& c) {
  Points p;
  for (const RouteFilePoint& q : c.puntos) {
    p.lon.push_back(q.longitud);
    p.lat.push_back(q.latitud);
  }
  return p;
}

TEST(RouteFile, Grammar) {
  struct Case {
    const char* what;
    std::string text;
    bool header;
    const char* velocidad;
    const char* consumo;
    std::vector<std::string> lon, lat;
  };
  const Case cases[] = {
      {"empty file", "", false, "", "", {}, {}},
      {"header and points, CR LF and LF", "120|12,5\r\n-4.8, 37.4\n-3.7, 40.4\n\r\n", true, "120", "12,5",
       {"-4.8", "-3.7"}, {" 37.4", " 40.4"}},
      {"header with empty texts", "|\n1, 2\n", true, "", "", {"1"}, {" 2"}},
      {"only the first bar splits", "90|10|5\n", true, "90", "10|5", {}, {}},
      {"no header: the first point is taken for it", "-4.8, 37.4\n-3.7, 40.4\n", true, "", "-4.8, 37.4",
       {"-3.7"}, {" 40.4"}},
      {"comments and blank lines are skipped", "# mi ruta\n\n \t \n120|12,5\n#-1, 2\n-4.8, 37.4", true, "120", "12,5",
       {"-4.8"}, {" 37.4"}},
      {"a blank before # is no comment", "120|12,5\n #1, 2\n", true, "120", "12,5", {" #1"}, {" 2"}},
      {"a CR without LF is dropped", "120|1\r2,5\n-4.8,\r 37.4\r\n", true, "120", "12,5", {"-4.8"}, {" 37.4"}},
      {"a point line without a comma", "120|12,5\n37.4\n", true, "120", "12,5", {""}, {"37.4"}},
  };
  for (const Case& c : cases) {
    const RouteFileContents got = parse_route_file(c.text);
    EXPECT_EQ(got.tiene_cabecera, c.header) << c.what;
    EXPECT_EQ(got.velocidad, c.velocidad) << c.what;
    EXPECT_EQ(got.consumo, c.consumo) << c.what;
    EXPECT_EQ(points(got).lon, c.lon) << c.what;
    EXPECT_EQ(points(got).lat, c.lat) << c.what;
  }
}

TEST(RouteFile, WrittenFileReadsBackTheSameRoute) {
  const std::string ruta = "-4.844970703125, 37.426015830209174\n-3.7038, 40.4168\n";
  const std::string text = route_file_text("120", "12,5", ruta);
  EXPECT_EQ(text, "120|12,5\r\n" + ruta + "\r\n");
  const RouteFileContents back = parse_route_file(text);
  EXPECT_EQ(back.velocidad, "120");
  EXPECT_EQ(back.consumo, "12,5");
  EXPECT_EQ(points(back).lon, (std::vector<std::string>{"-4.844970703125", "-3.7038"}));
  EXPECT_EQ(points(back).lat, (std::vector<std::string>{" 37.426015830209174", " 40.4168"}));
}

TEST(RouteFile, TxtIsAddedOnlyToNamesWithoutExtension) {
  EXPECT_EQ(with_default_extension("/home/piloto/ruta"), "/home/piloto/ruta.txt");
  EXPECT_EQ(with_default_extension("/home/piloto/ruta.rte"), "/home/piloto/ruta.rte");
  EXPECT_EQ(with_default_extension("/home/mis.rutas/ruta"), "/home/mis.rutas/ruta.txt");
  EXPECT_EQ(with_default_extension("C:\\Vuelos\\ruta"), "C:\\Vuelos\\ruta.txt");
}

}  // namespace
}  // namespace tolvex
