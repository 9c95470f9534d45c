// What the configuration window decides from what the pilot typed.
#include <gtest/gtest.h>

#include "dialogs/config_rules.h"

namespace tolvex {
namespace {

TEST(ConfigRules, IntervalIsNormalisedInTheRegionalFormat) {
  struct Case {
    const char* typed;
    char separator;
    const char* shown;
  };
  const Case cases[] = {
      {"0.3", ',', "0,3"},   {"2,75", ',', "2,7"}, {"1,55", ',', "1,5"}, {"0,05", ',', "0,0"},
      {"-1", ',', "1"},      {"0", ',', "1"},      {"abc", ',', "1"},    {"", ',', "1"},
      {"3", ',', "3"},       {"1,5", ',', "1,5"},  {"12.5", ',', "12,5"},
      // A point locale cannot read the comma the field uses for fractions.
      {"0.3", '.', "1"},     {"2,75", '.', "1"},   {"1,55", '.', "1"},   {"0,05", '.', "1"},
      {"-1", '.', "1"},      {"abc", '.', "1"},    {"3", '.', "3"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(normalizar_intervalo(c.typed, c.separator), c.shown) << c.typed << " with '" << c.separator << "'";
}

TEST(ConfigRules, AddressCheck) {
  const std::pair<const char*, bool> cases[] = {
      {"127.0.0.1", true},   {"192.168.0.5", true}, {"0.0.0.0", true},     {"255.255.255.255", true},
      {"192.168.0", false},  {"1.2.3.4.5", false},  {"192.168.0.256", false}, {"192.168..5", false},
      {"192.168.0.5.", false}, {"A.B.C.D", false},  {"LOCALHOST", false},  {"", false},
      {" 1.2.3.4", false},   {"1.2.3.-4", false},
  };
  for (const auto& [text, ok] : cases) EXPECT_EQ(direccion_valida(text), ok) << text;
}

TEST(ConfigRules, SavedValuesFallBackWhenUnusable) {
  ConfigChoice c;
  c.iocp = true;
  c.puerto = "80X";
  c.dirip = "192.168.1.300";
  c.ancho = "ancho";
  c.intervalo = "x";
  c.xplane = false;
  c.puertoweb = "0";
  ConfigDecision d = decidir_configuracion(c, ',');
  EXPECT_TRUE(d.iocpserver);
  EXPECT_EQ(d.puerto, 8090);
  EXPECT_EQ(d.puertoweb, 8091);
  EXPECT_FALSE(d.servidor_web);
  EXPECT_EQ(d.dirip, "127.0.0.1");
  EXPECT_EQ(d.rutadin_ancho, 4);
  EXPECT_EQ(d.rutadin_color, 10);
  EXPECT_EQ(d.rutadin_trans, "1");
  EXPECT_EQ(d.intervalo, "10");
  EXPECT_FALSE(d.mapsize);
  EXPECT_FALSE(d.tipogooglemap);

  c.puerto = "99999";  // a whole number, but no port
  c.ancho = "";        // an empty width keeps the value
  c.dirip = "10.0.0.7";
  c.color = 3;
  c.trans = "0.4";
  c.tamano = 2;
  c.tipog = 3;
  c.intervalo = "2,5";
  c.servidor_web = true;
  c.puertoweb = "8100";
  d = decidir_configuracion(c, ',');
  EXPECT_EQ(d.puerto, 8090);
  EXPECT_TRUE(d.servidor_web);
  EXPECT_EQ(d.puertoweb, 8100);
  EXPECT_FALSE(d.rutadin_ancho);
  EXPECT_EQ(d.dirip, "10.0.0.7");
  EXPECT_EQ(d.rutadin_color, 3);
  EXPECT_EQ(d.rutadin_trans, "0.4");
  EXPECT_EQ(d.mapsize, 2);
  EXPECT_EQ(d.tipogooglemap, 4);
  EXPECT_EQ(d.intervalo, "2,5");
  EXPECT_EQ(decidir_configuracion(c, '.').intervalo, "10");
}

TEST(ConfigRules, RestartNotice) {
  const std::string kind = "Los cambios en el modo de conexión no serán efectivos\nhasta que no reinicie la aplicación Tolvex.";
  const std::string address =
      "Los cambios en la configuración de IP o Puerto no serán efectivos\nhasta que no reinicie la aplicación Tolvex.";
  struct Case {
    bool running_xgps;
    bool iocp;
    bool xgps;
    const char* host;
    int port;
    int udp;
    std::string expected;
  };
  const Case cases[] = {
      {false, true, false, "127.0.0.1", 8090, 1, ""},        // the UDP port is not the IOCP link's
      {false, true, false, "127.0.0.1", 8091, 49002, address},  // port only
      {false, true, false, "10.0.0.2", 8090, 49002, address},
      {false, false, false, "127.0.0.1", 8090, 49002, kind},   // kind changed
      {false, false, false, "10.0.0.2", 9000, 49002, kind},    // kind wins over everything else
      {false, false, true, "127.0.0.1", 8090, 49002, kind},    // IOCP to the network link
      {true, false, true, "127.0.0.1", 8090, 49002, ""},
      {true, false, true, "127.0.0.1", 8090, 49003, address},  // the network link's port
  };
  for (const Case& c : cases) {
    ConfigDecision d;
    d.iocpserver = c.iocp;
    d.xgps = c.xgps;
    d.dirip = c.host;
    d.puerto = c.port;
    d.puertoudp = c.udp;
    const RunningLink running{!c.running_xgps, c.running_xgps, "127.0.0.1", 8090, 49002};
    EXPECT_EQ(aviso_reinicio(running, d), c.expected) << c.host << ":" << c.port << " udp " << c.udp;
  }
}

TEST(ConfigRules, VersionAndPositionTexts) {
  EXPECT_EQ(version_text(std::make_pair(5, 51)), "v5.51");
  EXPECT_EQ(version_text(std::make_pair(5, 7)), "v5.07");
  EXPECT_EQ(version_text(std::make_pair(1, 0)), "v1.00");
  EXPECT_EQ(version_text(std::nullopt), "");
  EXPECT_EQ(posicion_actual(40.47123, -3.70912), "40.47123,-3.70912");
}

}  // namespace
}  // namespace tolvex
