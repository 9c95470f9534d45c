#include "overlays/airspace_selection.h"

#include <algorithm>
#include <stdexcept>

#include "map/map_page_builder.h"
#include "map/script_escape.h"
#include "overlays/airspace_drawing.h"
#include "pages/embedded_pages.h"

namespace tolvex {

std::string elemento_clase(std::string_view code) {
  return std::string(code) + " " + clase_etiqueta(code);
}

std::string color_muestra(const TMarcas& m) {
  if (m.marcados <= 0) return "#FFFFFF";
  if (m.marcados >= m.total) return "#008000";
  return "#FFFF00";
}

bool es_sfc(std::string_view al) { return al == "SFC"; }

std::string borrar_espacio_statement(std::string_view name) {
  return "BorrarEspacio(" + quote_single(name) + ");";
}

std::string build_airspace_page(const MapSettings& maps) {
  const std::string_view page_template = embedded_page("page6.htm");
  if (page_template.empty()) throw std::runtime_error("No se encuentra la plantilla de página page6.htm");
  std::string page(page_template);
  replace_all(page, "##MAPSAPI##", maps_api_tags(maps));
  return page;
}

AirspaceSelection::AirspaceSelection(AirspaceCatalogue& catalogue) : catalogue_(catalogue) {
  for (TAirSpace& a : catalogue_) {
    a.previs = a.visible;
    if (std::find(lesp_.begin(), lesp_.end(), a.AC) == lesp_.end()) lesp_.push_back(a.AC);
  }
  recount();
}

// Counted from the flags after every action, so that two airspaces of one name (each action
// reaches the first of them) can never push a tally outside 0..total.
void AirspaceSelection::recount() {
  mt_.assign(lesp_.size(), TMarcas{});
  for (const TAirSpace& a : catalogue_) {
    TMarcas& m = mt_[class_index(a.AC)];
    ++m.total;
    if (a.previs) ++m.marcados;
  }
}

std::size_t AirspaceSelection::class_index(std::string_view code) const {
  return static_cast<std::size_t>(std::find(lesp_.begin(), lesp_.end(), code) - lesp_.begin());
}

std::string AirspaceSelection::swatch(std::size_t k) const {
  if (k >= kMuestras || k >= mt_.size()) return {};
  return color_muestra(mt_[k]);
}

std::vector<AirspaceSelection::Item> AirspaceSelection::items(std::size_t k) const {
  std::vector<Item> out;
  if (k >= lesp_.size()) return out;
  for (const TAirSpace& a : catalogue_)
    if (a.AC == lesp_[k]) out.push_back({a.AN, a.previs});
  return out;
}

const TAirSpace* AirspaceSelection::find(std::string_view name) const {
  for (const TAirSpace& a : catalogue_)
    if (a.AN == name) return &a;
  return nullptr;
}

TAirSpace* AirspaceSelection::find_mutable(std::string_view name) {
  return const_cast<TAirSpace*>(find(name));
}

AirspaceSelection::Batch AirspaceSelection::outline(const TAirSpace& a) const {
  return sentencias_espacio(a, true);
}

std::vector<AirspaceSelection::Batch> AirspaceSelection::initial_batches() const {
  std::vector<Batch> out;
  for (const TAirSpace& a : catalogue_) {
    if (!a.visible) continue;
    Batch b = outline(a);
    if (!b.empty()) out.push_back(std::move(b));
  }
  return out;
}

AirspaceSelection::Batch AirspaceSelection::highlight(std::string_view name) const {
  const TAirSpace* a = find(name);
  if (!a) return {};
  Batch b{"BorrarResaltado();"};
  for (std::string& s : sentencias_espacio(*a, false)) b.push_back(std::move(s));
  return b;
}

AirspaceSelection::Batch AirspaceSelection::set_ticked(std::string_view name, bool ticked) {
  TAirSpace* a = find_mutable(name);
  if (!a) return {};
  a->previs = ticked;
  recount();
  if (ticked) return outline(*a);
  return {borrar_espacio_statement(a->AN)};
}

std::vector<AirspaceSelection::Batch> AirspaceSelection::mark_all(std::size_t k) {
  std::vector<Batch> out;
  if (k >= lesp_.size()) return out;
  for (TAirSpace& a : catalogue_) {
    if (a.AC != lesp_[k] || a.previs) continue;
    a.previs = true;
    Batch b = outline(a);
    if (!b.empty()) out.push_back(std::move(b));
  }
  recount();
  return out;
}

std::vector<AirspaceSelection::Batch> AirspaceSelection::unmark_all(std::size_t k) {
  std::vector<Batch> out;
  if (k >= lesp_.size()) return out;
  for (TAirSpace& a : catalogue_) {
    if (a.AC != lesp_[k] || !a.previs) continue;
    a.previs = false;
    out.push_back({borrar_espacio_statement(a.AN)});
  }
  recount();
  return out;
}

std::vector<AirspaceSelection::Batch> AirspaceSelection::mark_by_floor(std::size_t k, bool sfc,
                                                                       const std::vector<std::string>& names,
                                                                       std::vector<bool>* ticks) {
  std::vector<Batch> out = unmark_all(k);
  if (ticks) ticks->clear();
  for (const std::string& name : names) {
    TAirSpace* a = find_mutable(name);
    const bool qualifies = a && es_sfc(a->AL) == sfc;
    if (ticks) ticks->push_back(qualifies);
    if (!a || qualifies == a->previs) continue;
    a->previs = qualifies;
    if (qualifies) {
      Batch b = outline(*a);
      if (!b.empty()) out.push_back(std::move(b));
    } else {
      out.push_back({borrar_espacio_statement(a->AN)});
    }
  }
  recount();
  return out;
}

std::string AirspaceSelection::selection_text() const {
  std::string text;
  for (const TAirSpace& a : catalogue_)
    if (a.previs) text += a.AN + "\r\n";
  return text;
}

void AirspaceSelection::commit() {
  for (TAirSpace& a : catalogue_) a.visible = a.previs;
}

void AirspaceSelection::discard() {
  for (TAirSpace& a : catalogue_) a.previs = a.visible;
  recount();
}

}  // namespace tolvex
