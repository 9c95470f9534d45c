#include "route/route_page_builder.h"

#include <stdexcept>

#include "map/colour_table.h"
#include "map/map_page_builder.h"
#include "map/script_escape.h"
#include "map/view_statements.h"
#include "pages/embedded_pages.h"

namespace tolvex {
namespace {

std::string_view number_or(std::string_view text, std::string_view fallback) {
  return is_plain_number(text) ? text : fallback;
}

// "latitude,longitude" of two plain numbers, or the default centre.
std::string_view centre_text(std::string_view centro) {
  const std::size_t comma = centro.find(',');
  if (comma == std::string_view::npos || !is_plain_number(centro.substr(0, comma)) ||
      !is_plain_number(centro.substr(comma + 1)))
    return kCentroRutaPorDefecto;
  return centro;
}

}  // namespace

std::string route_line_style(std::string_view color, std::string_view transparencia, std::string_view ancho) {
  std::string s = "strokeColor: ";
  s += quote_double(colour_by_name(color).value_or(std::string()));
  s += ", \r\nstrokeOpacity: ";
  s += number_or(transparencia, "1");
  s += ", \r\nstrokeWeight: ";
  s += number_or(ancho, "4");
  s += ", \r\n";
  return s;
}

std::string build_route_page(const RoutePageInputs& in) {
  const std::string_view page_template = embedded_page("route_page.html");
  if (page_template.empty()) throw std::runtime_error("No se encuentra la plantilla de página route_page.html");
  return build_route_page(in, page_template);
}

std::string build_route_page(const RoutePageInputs& in, std::string_view template_text) {
  std::string page(template_text);
  // Which map it draws with, first.
  replace_all(page, "##MAPSAPI##", maps_api_tags(in.maps));

  replace_all(page, "##PUNTOSVFR##", in.puntos_vfr);
  replace_all(page, "##POSIC##", centre_text(in.centro));
  replace_all(page, "##ZOOM##", number_or(in.zoom, "7"));
  replace_all(page, "##DATRUTA##", route_line_style(in.color, in.transparencia, in.ancho));
  const std::string type = map_type_name(in.tipomapa);
  replace_all(page, "##TMP##", type.empty() ? std::string("ROADMAP") : type);
  return page;
}

std::string show_address_statement(std::string_view direccion, bool agregar) {
  return "showAddress(" + quote_single(direccion) + (agregar ? ",true);" : ",false);");
}

std::string dime_altura_statement(std::string_view latitud, std::string_view longitud) {
  return point_call_statement("DimeAltura", latitud, longitud);
}

}  // namespace tolvex
