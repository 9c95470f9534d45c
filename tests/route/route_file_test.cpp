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
    std::vector<int> no_puntos = {};
    int linea_invalida = 0;
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
      {"a CR without LF is dropped", "120|1\r2,5\n-4.8,\r 37.4\r\n", true, "120", "12,5", {"-4.8"}, {" 37.4"}},
      // Lines that are not two numbers are listed by their line in the file, comments counted.
      {"a blank before # is no comment", "120|12,5\n #1, 2\n", true, "120", "12,5", {}, {}, {2}},
      {"a point line without a comma", "# r\n120|12,5\n37.4\n1, 2\n", true, "120", "12,5", {"1"}, {" 2"}, {3}},
      {"script instead of a number", "120|12,5\n-1, 39);window.malo=1;(\nNaN, 1\n-2, 39\n", true, "120", "12,5",
       {"-2"}, {" 39"}, {2, 3}},
      // Numbers no map can place refuse the file; the first such line is named.
      {"a number beyond a double", "120|12,5\n-2, 39\n1e999, 40.5\n", true, "120", "12,5", {"-2"}, {" 39"}, {}, 3},
      {"a latitude beyond 90", "120|12,5\n-3.7, 90.5\n-3.7, -91\n", true, "120", "12,5", {}, {}, {}, 2},
      {"a longitude beyond 180", "120|12,5\n180.01, 40\n", true, "120", "12,5", {}, {}, {}, 2},
      {"the limits themselves are places", "120|12,5\n-180, -90\n180, 90\n", true, "120", "12,5", {"-180", "180"},
       {" -90", " 90"}},
  };
  for (const Case& c : cases) {
    const RouteFileContents got = parse_route_file(c.text);
    EXPECT_EQ(got.tiene_cabecera, c.header) << c.what;
    EXPECT_EQ(got.velocidad, c.velocidad) << c.what;
    EXPECT_EQ(got.consumo, c.consumo) << c.what;
    EXPECT_EQ(points(got).lon, c.lon) << c.what;
    EXPECT_EQ(points(got).lat, c.lat) << c.what;
    EXPECT_EQ(got.no_puntos, c.no_puntos) << c.what;
    EXPECT_EQ(got.linea_invalida, c.linea_invalida) << c.what;
  }
}

TEST(RouteFile, MessagesNameTheLines) {
  RouteFileContents refused = parse_route_file("120|12,5\n# x\n1e999, 40.5\n");
  EXPECT_EQ(route_file_refusal(refused),
            "No se ha cargado la ruta: la l\xC3\xADnea 3 del fichero tiene una coordenada que no es v\xC3\xA1lida "
            "(1e999, 40.5). La latitud va de -90 a 90 grados y la longitud de -180 a 180.");
  refused.texto_invalido = std::string(300, '9');
  EXPECT_NE(route_file_refusal(refused).find(std::string(80, '9') + "...)"), std::string::npos);
  EXPECT_EQ(route_file_refusal(parse_route_file("120|12,5\n1, 2\n")), "");

  RouteFileContents skipped;
  EXPECT_EQ(route_file_skipped(skipped), "");
  skipped.no_puntos = {4};
  EXPECT_EQ(route_file_skipped(skipped),
            "La l\xC3\xADnea 4 del fichero no es un punto (longitud, latitud) y no se ha cargado.");
  skipped.no_puntos = {2, 5, 7};
  EXPECT_EQ(route_file_skipped(skipped),
            "Las l\xC3\xADneas 2, 5 y 7 del fichero no son puntos (longitud, latitud) y no se han cargado.");
  skipped.no_puntos = {2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13};
  EXPECT_EQ(route_file_skipped(skipped),
            "Las l\xC3\xADneas 2, 3, 4, 5, 6, 7, 8, 9, 10, 11 y 2 m\xC3\xA1s del fichero no son puntos (longitud, latitud) y "
            "no se han cargado.");
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
