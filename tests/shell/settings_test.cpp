#include "shell/settings.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "support/temp_folder.h"

namespace tolvex {
namespace {

using test::TempFolder;

Settings load(const std::string& text, char separator = ',', std::vector<std::string>* notes = nullptr) {
  return load_settings(IniFile::from_text("CONFIG.INI", text), separator, notes);
}

TEST(LoadSettings, MissingFileGivesTheDefaults) {
  TempFolder folder;
  std::vector<std::string> notes;
  const Settings s = load_settings(IniFile(folder.file("CONFIG.INI")), ',', &notes);
  EXPECT_EQ(s.mapsize, 0);
  EXPECT_FALSE(s.MapaSK);
  EXPECT_TRUE(s.Sonidos);
  EXPECT_FALSE(s.auto_);
  EXPECT_EQ(s.puerto, 8090);
  EXPECT_EQ(s.dirip, "127.0.0.1");
  EXPECT_EQ(s.intervalorgm, "10");
  EXPECT_EQ(s.intervalo_ms, 10000);
  EXPECT_FALSE(s.iocpserver || s.debug || s.puntosvfr || s.xplane || s.lespaciosaereos || s.ruta_visible);
  EXPECT_TRUE(s.suave);
  EXPECT_EQ(s.ruta_ancho, 4);
  EXPECT_EQ(s.ruta_color, 10);
  EXPECT_EQ(s.ruta_trans, "1");
  EXPECT_EQ(s.rutadin_ancho, 4);
  EXPECT_EQ(s.rutadin_color, 10);
  EXPECT_EQ(s.rutadin_trans, "1");
  EXPECT_EQ(s.velo, "120");
  EXPECT_EQ(s.cons, "12,5");
  EXPECT_EQ(s.maps.proveedor, "osm");
  EXPECT_EQ(s.maps.clave, "");
  EXPECT_EQ(s.maps.google_js, "https://maps.googleapis.com/maps/api/js?v=3&sensor=false&libraries=geometry");
  EXPECT_EQ(s.maps.teselas_normal, "https://tile.openstreetmap.org/{z}/{x}/{y}.png");
  EXPECT_EQ(s.maps.teselas_satelite,
            "https://server.arcgisonline.com/ArcGIS/rest/services/World_Imagery/MapServer/tile/{z}/{y}/{x}");
  EXPECT_EQ(s.maps.teselas_hibrido,
            "https://server.arcgisonline.com/ArcGIS/rest/services/Reference/World_Boundaries_and_Places/"
            "MapServer/tile/{z}/{y}/{x}");
  EXPECT_EQ(s.maps.teselas_relieve, "https://tile.opentopomap.org/{z}/{x}/{y}.png");
  EXPECT_EQ(s.maps.skyvector, "skyvector.com");
  EXPECT_EQ(s.maps.marca_naranja, "mm_20_orange.png");
  EXPECT_EQ(s.maps.marca_azul, "mm_20_blue.png");
  EXPECT_EQ(s.maps.marca_roja, "mm_20_red.png");
  EXPECT_EQ(s.maps.elevacion, "https://api.open-meteo.com/v1/elevation?latitude={lat}&longitude={lng}");
  EXPECT_EQ(s.maps.geocodificador, "https://nominatim.openstreetmap.org/search?format=json&limit=5&q={query}");
  EXPECT_FALSE(s.servidor_web);
  EXPECT_EQ(s.puertoweb, 8091);
  EXPECT_EQ(s.claveweb, "");
  EXPECT_TRUE(notes.empty());
  EXPECT_FALSE(folder.exists("CONFIG.INI"));
}

struct LoadCase {
  const char* name;
  std::string file;
  char separator;
  std::function<void(const Settings&)> check;
  std::size_t notes;
};

TEST(LoadSettings, ConvertsEachKeyAsDocumented) {
  const LoadCase cases[] = {
      {"chart service never in size mode 3", "[INICIO]\nTIPOMAPA=S\nSIZE=3\n", ',',
       [](const Settings& s) {
         EXPECT_EQ(s.mapsize, 3);
         EXPECT_FALSE(s.MapaSK);
       },
       0},
      {"chart service in size mode 2", "[INICIO]\nTIPOMAPA=S\nSIZE=2\n", ',',
       [](const Settings& s) { EXPECT_TRUE(s.MapaSK); }, 0},
      {"SIZE out of range", "[INICIO]\nSIZE=4\n", ',', [](const Settings& s) { EXPECT_EQ(s.mapsize, 0); }, 1},
      {"SIZE negative", "[INICIO]\nSIZE=-1\n", ',', [](const Settings& s) { EXPECT_EQ(s.mapsize, 0); }, 1},
      {"SIZE not a number", "[INICIO]\nSIZE=dos\n", ',', [](const Settings& s) { EXPECT_EQ(s.mapsize, 0); }, 1},
      {"switches are exactly S", "[INICIO]\nSONIDOS=s\nAUTOMAT=S\nPUNTOSVFR=Si\nXPLANE=S\nVERAIRSPACES=S\nDEBUG=S\n"
                                 "SUAVE=s\n[RUTA]\nVIS=S\n", ',',
       [](const Settings& s) {
         EXPECT_FALSE(s.Sonidos);
         EXPECT_FALSE(s.suave);
         EXPECT_TRUE(s.auto_);
         EXPECT_FALSE(s.puntosvfr);
         EXPECT_TRUE(s.xplane && s.lespaciosaereos && s.debug && s.ruta_visible);
       },
       0},
      {"lower-case i selects FSUIPC", "[INICIO]\nTIPOCONEXION=i\n", ',',
       [](const Settings& s) { EXPECT_FALSE(s.iocpserver); }, 0},
      {"I selects the IOCP Server", "[INICIO]\nTIPOCONEXION=I\nPUERTO=8091\nDIRIP=192.168.1.20\n", ',',
       [](const Settings& s) {
         EXPECT_TRUE(s.iocpserver);
         EXPECT_EQ(s.puerto, 8091);
         EXPECT_EQ(s.dirip, "192.168.1.20");
       },
       0},
      {"X selects the network link on PUERTOUDP", "[INICIO]\nTIPOCONEXION=X\nPUERTOUDP=49003\n", ',',
       [](const Settings& s) {
         EXPECT_FALSE(s.iocpserver);
         EXPECT_EQ(s.link_kind, LinkKind::xgps);
         EXPECT_EQ(s.puertoudp, 49003);
       },
       0},
      {"lower-case x selects FSUIPC", "[INICIO]\nTIPOCONEXION=x\n", ',',
       [](const Settings& s) {
         EXPECT_EQ(s.link_kind, LinkKind::fsuipc);
         EXPECT_EQ(s.puertoudp, 49002);
       },
       0},
      {"PUERTOUDP out of range", "[INICIO]\nPUERTOUDP=65536\n", ',',
       [](const Settings& s) { EXPECT_EQ(s.puertoudp, 49002); }, 1},
      {"PUERTO not a number", "[INICIO]\nPUERTO=ochenta\n", ',', [](const Settings& s) { EXPECT_EQ(s.puerto, 8090); }, 1},
      {"tablet view", "[WEB]\nSERVIDOR=S\nPUERTOWEB=8100\nCLAVEWEB=abc\n", ',',
       [](const Settings& s) {
         EXPECT_TRUE(s.servidor_web);
         EXPECT_EQ(s.puertoweb, 8100);
         EXPECT_EQ(s.claveweb, "abc");
       },
       0},
      {"PUERTOWEB out of range", "[WEB]\nSERVIDOR=s\nPUERTOWEB=0\n", ',',
       [](const Settings& s) {
         EXPECT_FALSE(s.servidor_web);
         EXPECT_EQ(s.puertoweb, 8091);
       },
       1},
      {"PUERTO out of range", "[INICIO]\nPUERTO=70000\n", ',', [](const Settings& s) { EXPECT_EQ(s.puerto, 8090); }, 1},
      {"PUERTO zero", "[INICIO]\nPUERTO=0\n", ',', [](const Settings& s) { EXPECT_EQ(s.puerto, 8090); }, 1},
      {"INTERVALO 2,5 on a comma locale", "[INICIO]\nINTERVALO=2,5\n", ',',
       [](const Settings& s) {
         EXPECT_EQ(s.intervalo_ms, 2500);
         EXPECT_EQ(s.intervalorgm, "2,5");
       },
       0},
      {"INTERVALO 10", "[INICIO]\nINTERVALO=10\n", ',', [](const Settings& s) { EXPECT_EQ(s.intervalo_ms, 10000); }, 0},
      {"INTERVALO 2,5 on a point locale", "[INICIO]\nINTERVALO=2,5\n", '.',
       [](const Settings& s) {
         EXPECT_EQ(s.intervalo_ms, 2500);
         EXPECT_EQ(s.intervalorgm, "2,5");
       },
       0},
      {"INTERVALO unusable", "[INICIO]\nINTERVALO=rapido\n", ',',
       [](const Settings& s) {
         EXPECT_EQ(s.intervalo_ms, 10000);
         EXPECT_EQ(s.intervalorgm, "10");
       },
       1},
      {"INTERVALO negative reads as the default", "[INICIO]\nINTERVALO=-2\n", ',',
       [](const Settings& s) {
         EXPECT_EQ(s.intervalo_ms, 10000);
         EXPECT_EQ(s.intervalorgm, "10");
       },
       1},
      {"DIRIP empty", "[INICIO]\nDIRIP=\n", ',', [](const Settings& s) { EXPECT_EQ(s.dirip, "127.0.0.1"); }, 1},
      {"DIRIP a host name", "[INICIO]\nDIRIP=simpc.local\n", ',', [](const Settings& s) { EXPECT_EQ(s.dirip, "simpc.local"); }, 0},
      {"INTERVALO below a tenth", "[INICIO]\nINTERVALO=0,0\n", ',',
       [](const Settings& s) {
         EXPECT_EQ(s.intervalo_ms, 100);
         EXPECT_EQ(s.intervalorgm, "0,0");
       },
       1},
      {"ANCHO and COLOR not integers", "[RUTA]\nANCHO=3,5\nCOLOR=rojo\nTRANS=0.5\n[RUTADIN]\nANCHO=x\nCOLOR=\nTRANS=0.3\n", ',',
       [](const Settings& s) {
         EXPECT_EQ(s.ruta_ancho, 4);
         EXPECT_EQ(s.ruta_color, 10);
         EXPECT_EQ(s.ruta_trans, "0.5");
         EXPECT_EQ(s.rutadin_ancho, 4);
         EXPECT_EQ(s.rutadin_color, 10);
         EXPECT_EQ(s.rutadin_trans, "0.3");
       },
       4},
      {"route sections kept apart", "[RUTA]\nANCHO=2\nCOLOR=3\n[RUTADIN]\nANCHO=7\nCOLOR=16\n[RUTA]\nVELOCIDAD=95\n", ',',
       [](const Settings& s) {
         EXPECT_EQ(s.ruta_ancho, 2);
         EXPECT_EQ(s.ruta_color, 3);
         EXPECT_EQ(s.rutadin_ancho, 7);
         EXPECT_EQ(s.rutadin_color, 16);
         EXPECT_EQ(s.velo, "120");  // a second [RUTA] is not read
       },
       0},
      {"a key selects Google", "[MAPAS]\nCLAVE=abc\n", ',',
       [](const Settings& s) {
         EXPECT_EQ(s.maps.proveedor, "google");
         EXPECT_EQ(s.maps.clave, "abc");
       },
       0},
      {"OSM chosen despite a key", "[MAPAS]\nCLAVE=abc\nPROVEEDOR=OSM\n", ',',
       [](const Settings& s) { EXPECT_EQ(s.maps.proveedor, "osm"); }, 0},
      {"Google chosen without a key", "[MAPAS]\nPROVEEDOR=Google\nTESELAS=http://localhost/{z}/{x}/{y}.png\n", ',',
       [](const Settings& s) {
         EXPECT_EQ(s.maps.proveedor, "google");
         EXPECT_EQ(s.maps.teselas_normal, "http://localhost/{z}/{x}/{y}.png");
       },
       0},
      {"unknown provider", "[MAPAS]\nPROVEEDOR=bing\n", ',', [](const Settings& s) { EXPECT_EQ(s.maps.proveedor, "osm"); }, 1},
      {"window place and size", "[ventana]\nIZQUIERDA=-1200\nARRIBA=40\nANCHO=900\nALTO=700\n", ',',
       [](const Settings& s) {
         EXPECT_EQ(s.ventana.izquierda, -1200);
         EXPECT_EQ(s.ventana.arriba, 40);
         EXPECT_EQ(s.ventana.ancho, 900);
         EXPECT_EQ(s.ventana.alto, 700);
       },
       0},
      {"window keys unusable or missing", "[VENTANA]\nIZQUIERDA=diez\nANCHO=0\nALTO=-5\n", ',',
       [](const Settings& s) {
         EXPECT_FALSE(s.ventana.izquierda || s.ventana.arriba || s.ventana.ancho || s.ventana.alto);
       },
       3},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::string> notes;
    c.check(load(c.file, c.separator, &notes));
    EXPECT_EQ(notes.size(), c.notes);
  }
}

TEST(IntervalMs, RoundsSecondsToWholeMillisecondsFromATenthOrRefuses) {
  const std::tuple<const char*, char, std::int32_t> cases[] = {
      {"10", ',', 10000},      {"2,5", ',', 2500},     {"2.5", ',', 2500},    {"2,5", '.', 2500},
      {" 1,5 ", ',', 1500},    {"0,1", ',', 100},      {"0,1005", ',', 101},  {"2147483,647", ',', 2147483647},
      {"0,0995", ',', 100},    {"0,05", ',', 100},     {"0,0", ',', 100},     {"0,0004", ',', 100},
      {"0", ',', 100},         {"-1", ',', -1},        {"-0,5", '.', -1},     {"2147484", ',', -1},
      {"", ',', -1},           {"1,2.3", ',', -1},     {"1e3", ',', -1},      {"diez", ',', -1},
  };
  for (const auto& [text, separator, ms] : cases) {
    SCOPED_TRACE(text);
    EXPECT_EQ(interval_ms_from_text(text, separator), ms);
  }
}

TEST(SavePreferences, DefaultsIntoANewFileInTheDocumentedOrder) {
  TempFolder folder;
  IniFile ini(folder.file("CONFIG.INI"));
  save_preferences(ini, Settings{});
  EXPECT_EQ(folder.read("CONFIG.INI"),
            "[INICIO]\r\nTIPOMAPA=N\r\nSONIDOS=S\r\nAUTOMAT=N\r\nPUNTOSVFR=N\r\nXPLANE=N\r\n"
            "[RUTA]\r\nANCHO=4\r\nCOLOR=10\r\nTRANS=1\r\nVIS=N\r\nVELOCIDAD=120\r\nCONSUMO=12,5\r\n"
            "[RUTADIN]\r\nANCHO=4\r\nCOLOR=10\r\nTRANS=1\r\n");

  // The window's place (and, in "Ajustable", its size) after the preferences.
  Settings s;
  s.ventana = {-30, 20, 900, std::nullopt};
  save_preferences(ini, s);
  EXPECT_NE(folder.read("CONFIG.INI").find("TRANS=1\r\n[VENTANA]\r\nIZQUIERDA=-30\r\nARRIBA=20\r\nANCHO=900\r\n"),
            std::string::npos);
}

TEST(SaveConfiguration, WritesEveryEditedKeyInOrder) {
  TempFolder folder;
  IniFile ini(folder.file("CONFIG.INI"));
  Settings s;
  s.iocpserver = true;
  s.puerto = 8091;
  s.dirip = "10.0.0.2";
  s.MapaSK = true;
  s.xplane = true;
  s.lespaciosaereos = true;
  s.rutadin_color = 3;
  s.ruta_trans = "0.5";
  s.mapsize = 2;
  s.intervalorgm = "2,5";
  s.suave = false;
  save_configuration(ini, s, 4);
  EXPECT_EQ(folder.read("CONFIG.INI"),
            "[INICIO]\r\nTIPOCONEXION=I\r\nPUERTO=8091\r\nDIRIP=10.0.0.2\r\nTIPOMAPA=S\r\nSONIDOS=S\r\n"
            "AUTOMAT=N\r\nPUNTOSVFR=N\r\nXPLANE=S\r\nVERAIRSPACES=S\r\nSIZE=2\r\nTIPOG=4\r\nINTERVALO=2,5\r\n"
            "SUAVE=N\r\n"
            "[RUTADIN]\r\nANCHO=4\r\nCOLOR=3\r\nTRANS=1\r\n"
            "[RUTA]\r\nANCHO=4\r\nCOLOR=10\r\nTRANS=0.5\r\nVIS=N\r\n"
            "[WEB]\r\nSERVIDOR=N\r\nPUERTOWEB=8091\r\n");
  // The key is written alone, when made.
  save_web_key(ini, "ClaveDePrueba_0123456789abcdef");
  EXPECT_EQ(IniFile(folder.file("CONFIG.INI")).read_string("WEB", "CLAVEWEB", ""), "ClaveDePrueba_0123456789abcdef");
}

TEST(SaveConfiguration, TheNetworkLinkWritesItsKindAndPort) {
  TempFolder folder;
  const std::string path = folder.file("CONFIG.INI");
  Settings s;
  set_link_kind(s, LinkKind::xgps);
  s.puertoudp = 49010;
  {
    IniFile ini(path);
    save_configuration(ini, s, 1);
  }
  Settings again = load_settings(IniFile(path), ',');
  EXPECT_EQ(again.link_kind, LinkKind::xgps);
  EXPECT_FALSE(again.iocpserver);
  EXPECT_EQ(again.puertoudp, 49010);
  // Choosing the IOCP Server by its switch alone, as before the network link existed, wins.
  again.iocpserver = true;
  {
    IniFile ini(path);
    save_configuration(ini, again, 1);
  }
  EXPECT_EQ(IniFile(path).read_string("INICIO", "TIPOCONEXION", ""), "I");
}

TEST(SaveSettings, ClosingAndConfiguringKeepWhatTheyDoNotOwn) {
  TempFolder folder;
  const std::string path = folder.file("CONFIG.INI");
  const std::string hand_made =
      "; editado a mano\r\n[INICIO]\r\nDEBUG=S\r\nXPLANE=S\r\nOTRA=\xF1\r\n\r\n"
      "[RUTA]\r\nVELOCIDAD=95\r\nCONSUMO=9\r\n[EXTRA]\r\nZ=1\r\n";
  folder.write("CONFIG.INI", hand_made);

  Settings s = load_settings(IniFile(path), ',');
  EXPECT_TRUE(s.debug);
  // X-Plane turned off in the configuration window deletes the key...
  s.xplane = false;
  {
    IniFile ini(path);
    save_configuration(ini, s, 1);
  }
  EXPECT_FALSE(IniFile(path).has_key("INICIO", "XPLANE"));
  // ...and the close that follows writes it back as N. Blank speed keeps the stored one,
  // the consumption is written trimmed.
  s.velo = "   ";
  s.cons = " 10,5 ";
  {
    IniFile ini(path);
    save_preferences(ini, s);
  }
  const IniFile saved(path);
  EXPECT_EQ(saved.read_string("INICIO", "XPLANE", ""), "N");
  EXPECT_EQ(saved.read_string("INICIO", "DEBUG", ""), "S");
  EXPECT_EQ(saved.read_string("INICIO", "OTRA", ""), "\xC3\xB1");
  EXPECT_EQ(saved.read_string("RUTA", "VELOCIDAD", ""), "95");
  EXPECT_EQ(saved.read_string("RUTA", "CONSUMO", ""), "10,5");
  EXPECT_EQ(saved.read_string("EXTRA", "Z", ""), "1");
  const std::string text = folder.read("CONFIG.INI");
  EXPECT_EQ(text.rfind("; editado a mano\r\n[INICIO]\r\nDEBUG=S\r\n", 0), 0u) << text;
  EXPECT_NE(text.find("\r\nOTRA=\xF1\r\n"), std::string::npos) << "Windows-1252 byte changed";
  EXPECT_NE(text.find("[EXTRA]\r\nZ=1\r\n"), std::string::npos);

  // A load right after a save gives back what was saved.
  const Settings again = load_settings(saved, ',');
  EXPECT_EQ(again.MapaSK, s.MapaSK);
  EXPECT_EQ(again.intervalorgm, s.intervalorgm);
  EXPECT_EQ(again.ruta_trans, s.ruta_trans);
  EXPECT_FALSE(again.xplane);
}

}  // namespace
}  // namespace tolvex
