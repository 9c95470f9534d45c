// What the configuration window decides from what the pilot typed.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "dialogs/config_rules.h"

namespace tolvex {
namespace {

TEST(ConfigRules, IntervalIsNormalisedWithEitherSeparator) {
  struct Case {
    const char* typed;
    const char* shown;
    const char* aviso;  // a piece of the reason; empty: none
  };
  const Case cases[] = {
      {"0.3", "0,3", ""},   {"2,75", "2,7", ""}, {"1,55", "1,5", ""}, {"0,05", "0,0", ""},
      {"3", "3", ""},       {"1,5", "1,5", ""},  {"12.5", "12,5", ""},
      {"-1", "1", "\"-1\" no válido: debe ser mayor que cero. Se usa 1 segundo."},
      {"0", "1", "\"0\" no válido: debe ser mayor que cero"},
      {"abc", "1", "\"abc\" no válido: debe ser un número de segundos"},
      {"1,2.3", "1", "no válido"},
      {"", "1", "No se ha indicado el intervalo de actualización. Se usa 1 segundo."},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(normalizar_intervalo(c.typed), c.shown) << c.typed;
    const std::string aviso = aviso_intervalo(c.typed);
    if (*c.aviso == 0)
      EXPECT_EQ(aviso, "") << c.typed;
    else
      EXPECT_NE(aviso.find(c.aviso), std::string::npos) << c.typed << ": " << aviso;
  }
}

TEST(ConfigRules, HostCheck) {
  const std::pair<const char*, bool> cases[] = {
      {"127.0.0.1", true},     {"192.168.0.5", true},   {"0.0.0.0", true},        {"255.255.255.255", true},
      {"SIMPC", true},         {"simpc.local", true},   {"PC-VUELO_2", true},     {"LOCALHOST", true},
      {"::1", true},           {"FE80::1:2", true},     {"::FFFF:10.0.0.1", true},
      {"192.168.0", false},    {"1.2.3.4.5", false},    {"192.168.0.256", false}, {"192.168..5", false},
      {"192.168.0.5.", false}, {"", false},             {"1.2.3.-4", false},      {"mi pc", false},
      {"-pc", false},          {"pc-", false},          {"a..b", false},          {"pc/1", false},
      {"1:2", false},          {"::g", false},          {":::1", false},
      {"http://pc", false},
  };
  for (const auto& [text, ok] : cases) EXPECT_EQ(is_valid_host(text), ok) << text;
  EXPECT_FALSE(is_valid_host(std::string(64, 'a')));
  EXPECT_TRUE(is_valid_host(std::string(63, 'a') + ".b"));
  EXPECT_FALSE(direccion_valida("LOCALHOST"));
}

// Each typed value that is replaced is saved as its fallback, and the pilot is told which and why,
// for the fields of the chosen link only.
TEST(ConfigRules, FallbacksAreSavedAndExplained) {
  struct Case {
    const char* name;
    std::function<void(ConfigChoice&)> typed;
    std::function<void(const ConfigDecision&)> check;
    std::vector<std::string> avisos;
  };
  const auto iocp = [](ConfigChoice& c) {
    c.iocp = true;
    c.dirip = "127.0.0.1";
    c.puerto = "8090";
    c.puertoudp = "49002";
  };
  const Case cases[] = {
      {"all usable", [&](ConfigChoice& c) { iocp(c); c.dirip = " simpc.local "; c.ancho = "6"; c.intervalo = "2,5";
                                            c.servidor_web = true; c.puertoweb = "8100"; },
       [](const ConfigDecision& d) {
         EXPECT_TRUE(d.servidor_web);
         EXPECT_EQ(d.puertoweb, 8100);
         EXPECT_EQ(d.dirip, "simpc.local");
         EXPECT_EQ(d.puerto, 8090);
         EXPECT_EQ(d.rutadin_ancho, 6);
         EXPECT_EQ(d.intervalo, "2,5");
       },
       {}},
      {"port beyond 65535", [&](ConfigChoice& c) { iocp(c); c.puerto = "99999"; },
       [](const ConfigDecision& d) { EXPECT_EQ(d.puerto, 8090); },
       {"Puerto \"99999\" no válido: debe ser un número entero de 1 a 65535. Se ha guardado 8090."}},
      {"empty address", [&](ConfigChoice& c) { iocp(c); c.dirip = ""; },
       [](const ConfigDecision& d) { EXPECT_EQ(d.dirip, "127.0.0.1"); },
       {"No se ha indicado la dirección del equipo del Flight Simulator. Se ha guardado 127.0.0.1."}},
      {"bad address and empty port", [&](ConfigChoice& c) { iocp(c); c.dirip = "192.168.1.300"; c.puerto = " "; },
       [](const ConfigDecision& d) { EXPECT_EQ(d.dirip, "127.0.0.1"); },
       {"Dirección \"192.168.1.300\" no válida: debe ser una dirección IP (como 192.168.0.5) o un nombre de equipo. "
        "Se ha guardado 127.0.0.1.",
        "No se ha indicado el puerto. Se ha guardado 8090."}},
      {"hidden fields fall back silently", [](ConfigChoice& c) { c.dirip = ""; c.puerto = "x"; c.puertoudp = "0"; },
       [](const ConfigDecision& d) {
         EXPECT_EQ(d.dirip, "127.0.0.1");
         EXPECT_EQ(d.puerto, 8090);
         EXPECT_EQ(d.puertoudp, 49002);
       },
       {}},
      {"network link port", [](ConfigChoice& c) { c.xgps = true; c.dirip = "127.0.0.1"; c.puerto = "8090"; c.puertoudp = "70000"; },
       [](const ConfigDecision& d) { EXPECT_EQ(d.puertoudp, 49002); },
       {"Puerto UDP \"70000\" no válido: debe ser un número entero de 1 a 65535. Se ha guardado 49002."}},
      {"tablet view port", [&](ConfigChoice& c) { iocp(c); c.servidor_web = true; c.puertoweb = "0"; },
       [](const ConfigDecision& d) { EXPECT_EQ(d.puertoweb, 8091); },
       {"Puerto de la vista en tableta \"0\" no válido: debe ser un número entero de 1 a 65535. Se ha guardado 8091."}},
      {"interval and width", [&](ConfigChoice& c) { iocp(c); c.intervalo = "1"; c.aviso_intervalo = "(intervalo)"; c.ancho = "ancho"; },
       [](const ConfigDecision& d) { EXPECT_EQ(d.rutadin_ancho, 4); },
       {"(intervalo)",
        "Ancho de la línea de ruta dinámica \"ancho\" no válido: debe ser un número entero mayor que cero. Se ha "
        "guardado 4."}},
      {"unreadable interval and empty width", [&](ConfigChoice& c) { iocp(c); c.intervalo = "x"; c.ancho = ""; },
       [](const ConfigDecision& d) {
         EXPECT_EQ(d.intervalo, "10");
         EXPECT_FALSE(d.rutadin_ancho) << "an empty width keeps the value";
       },
       {}},
      {"a fraction with a point on any system", [&](ConfigChoice& c) { iocp(c); c.intervalo = "2.5"; },
       [](const ConfigDecision& d) { EXPECT_EQ(d.intervalo, "2.5"); }, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ConfigChoice choice;
    c.typed(choice);
    const ConfigDecision d = decidir_configuracion(choice);
    c.check(d);
    EXPECT_EQ(d.avisos, c.avisos);
  }
}

TEST(ConfigRules, ListsFallBackToTheirDefaults) {
  ConfigChoice c;
  ConfigDecision d = decidir_configuracion(c);
  EXPECT_EQ(d.rutadin_color, 10);
  EXPECT_EQ(d.rutadin_trans, "1");
  EXPECT_FALSE(d.mapsize);
  EXPECT_FALSE(d.tipogooglemap);
  c.color = 3;
  c.trans = "0.4";
  c.tamano = 2;
  c.tipog = 3;
  d = decidir_configuracion(c);
  EXPECT_EQ(d.rutadin_color, 3);
  EXPECT_EQ(d.rutadin_trans, "0.4");
  EXPECT_EQ(d.mapsize, 2);
  EXPECT_EQ(d.tipogooglemap, 4);
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
    const LinkSettings running{!c.running_xgps, c.running_xgps, "127.0.0.1", 8090, 49002};
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
