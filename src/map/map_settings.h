#pragma once
// Where the pages take their maps from (section MAPAS of CONFIG.INI).
#include <string>

namespace tolvex {

inline constexpr char kDefaultGoogleScript[] =
    "https://maps.googleapis.com/maps/api/js?v=3&sensor=false&libraries=geometry";

// How the pages reach a map: our own Leaflet-based provider ("osm") or Google's API ("google").
// Section MAPAS of CONFIG.INI; read at start-up, never written by the program.
struct MapSettings {
  std::string proveedor = "osm";  // "osm" or "google"; "google" by default only when a key is set
  std::string clave;              // Google Maps key
  std::string google_js;          // address of the Google Maps script, key appended by the page builder
  std::string teselas_normal;     // tile address templates with {z} {x} {y}
  std::string teselas_satelite;
  std::string teselas_hibrido;    // labels drawn over the satellite tiles
  std::string teselas_relieve;
  std::string skyvector;          // host of the chart service scripts
  std::string marca_naranja;      // 20 x 20 marker images (VFR points, route start, route end)
  std::string marca_azul;
  std::string marca_roja;
  std::string elevacion;          // elevation service of the keyless provider: {lat} {lng} or {locations}
  std::string geocodificador;     // address search of the keyless provider: {query}
};

}  // namespace tolvex
