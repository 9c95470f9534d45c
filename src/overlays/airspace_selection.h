#pragma once
// The working selection of the airspace selection window: classes, tallies, swatch colours,
// the statements each action sends to the window's page, and the text of airspsel.txt.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "map/map_settings.h"
#include "overlays/airspace_catalogue.h"

namespace tolvex {

struct TMarcas {
  std::int32_t total = 0;     // airspaces of the class
  std::int32_t marcados = 0;  // of them, marked in the working selection
};

inline constexpr std::size_t kMuestras = 11;  // classes with a colour swatch

// "R Restringida", "A Clase A"; a code without label gives the code and one blank.
std::string elemento_clase(std::string_view code);
// White when none is marked, green when all are, yellow in between.
std::string color_muestra(const TMarcas& m);
// The lower limit is the surface: exactly "SFC".
bool es_sfc(std::string_view al);
// "BorrarEspacio('name');"
std::string borrar_espacio_statement(std::string_view name);

// page6.htm from its template, with the map script tags for the provider. Throws when the
// template is missing.
std::string build_airspace_page(const MapSettings& maps);

class AirspaceSelection {
 public:
  using Batch = std::vector<std::string>;
  struct Item {
    std::string name;
    bool ticked = false;
  };

  // Copies every `visible` into `previs` and counts the classes.
  explicit AirspaceSelection(AirspaceCatalogue& catalogue);

  const std::vector<std::string>& lesp() const { return lesp_; }
  const std::vector<TMarcas>& mt() const { return mt_; }
  // Colour of swatch k; empty from the twelfth class on.
  std::string swatch(std::size_t k) const;
  // The list of class k: names in catalogue order, ticked when marked.
  std::vector<Item> items(std::size_t k) const;
  // The first airspace of that name (names are the identity); null when none.
  const TAirSpace* find(std::string_view name) const;

  // Outline statements of every committed airspace, one batch per airspace.
  std::vector<Batch> initial_batches() const;
  // "BorrarResaltado();" and the highlight of the named airspace; empty when it is unknown.
  Batch highlight(std::string_view name) const;
  // Marks or unmarks the named airspace; the outline or removal statements.
  Batch set_ticked(std::string_view name, bool ticked);
  std::vector<Batch> mark_all(std::size_t k);
  std::vector<Batch> unmark_all(std::size_t k);
  // Unmarks class k, then marks each listed name whose airspace is (sfc) or is not (!sfc) from
  // the surface. `ticks` receives the new tick of each listed name.
  std::vector<Batch> mark_by_floor(std::size_t k, bool sfc, const std::vector<std::string>& names,
                                   std::vector<bool>* ticks);

  // airspsel.txt for the working selection: one name a line, CR LF, catalogue order.
  std::string selection_text() const;
  // Makes the working selection the committed one.
  void commit();
  // Throws the working selection away.
  void discard();

 private:
  TAirSpace* find_mutable(std::string_view name);
  std::size_t class_index(std::string_view code) const;
  Batch outline(const TAirSpace& a) const;
  void recount();

  AirspaceCatalogue& catalogue_;
  std::vector<std::string> lesp_;
  std::vector<TMarcas> mt_;
};

}  // namespace tolvex
