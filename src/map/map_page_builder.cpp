#include "map/map_page_builder.h"

#include <stdexcept>

#include "map/colour_table.h"
#include "map/page_files.h"
#include "map/script_escape.h"
#include "pages/embedded_pages.h"
#include "base/number_format.h"

namespace tolvex {
namespace {

constexpr char hex_digits[] = "0123456789ABCDEF";

// Query value: everything but the unreserved characters percent-encoded.
std::string url_encode(std::string_view text) {
  std::string out;
  for (char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    const bool unreserved = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                            c == '-' || c == '.' || c == '_' || c == '~';
    if (unreserved) {
      out += ch;
    } else {
      out += '%';
      out += hex_digits[c >> 4];
      out += hex_digits[c & 15];
    }
  }
  return out;
}

bool is_google(const MapSettings& maps) {
  const std::string_view p = maps.proveedor;
  return p.size() == 6 && (p[0] == 'g' || p[0] == 'G') && p.substr(1) == "oogle";
}

// Page numbers always carry a point, whatever the machine's locale; what is not a number
// (a sample never read) puts the map at 0.
std::string coordinate_text(double value) {
  std::string text = format_pattern(value, "#0.0000", '.');
  return is_plain_number(text) ? text : std::string("0.0000");
}

// The Google script is only ever fetched over https (or from this machine); an address of any
// other kind gives way to the default one.
std::string google_script_address(const MapSettings& maps) {
  std::string address = secure_script_address(maps.google_js);
  return address.empty() ? std::string(kDefaultGoogleScript) : address;
}

}  // namespace

void replace_all(std::string& text, std::string_view placeholder, std::string_view value) {
  if (placeholder.empty()) return;
  std::size_t pos = text.find(placeholder);
  if (pos == std::string::npos) return;
  std::string out;
  out.reserve(text.size() + value.size() * 2);
  std::size_t from = 0;
  while (pos != std::string::npos) {
    out.append(text, from, pos - from);
    out.append(value);
    from = pos + placeholder.size();
    pos = text.find(placeholder, from);
  }
  out.append(text, from, std::string::npos);
  text = std::move(out);
}

std::string map_type_name(std::int32_t tipogooglemap) {
  switch (tipogooglemap) {
    case 1: return "ROADMAP";
    case 2: return "HYBRID";
    case 3: return "SATELLITE";
    case 4: return "TERRAIN";
    default: return {};
  }
}

std::string chart_size_style(std::int32_t mapsize) {
  switch (mapsize) {
    case 0: return "width: 360px; height: 200px;";
    case 1: return "width: 690px; height: 390px;";
    case 2: return "width: 870px; height: 500px;";
    default: return {};  // "Ajustable": the division keeps no size of its own
  }
}

std::string rutadin_stroke(std::int32_t rutadin_color, std::int32_t rutadin_ancho, std::string_view rutadin_trans) {
  // The opacity comes from a hand-editable file and lands in script as it stands: only a
  // plain number may.
  const std::string_view opacity = is_plain_number(rutadin_trans) ? rutadin_trans : std::string_view("1");
  std::string s = "strokeColor: ";
  s += quote_double(colour_by_index(rutadin_color));
  s += ", \r\nstrokeOpacity: ";
  s += opacity;
  s += ", \r\nstrokeWeight: ";
  s += std::to_string(rutadin_ancho);
  s += ", \r\n";
  return s;
}

std::string maps_api_tags(const MapSettings& maps) {
  if (is_google(maps)) {
    std::string address = google_script_address(maps);
    if (!maps.clave.empty()) {
      address += address.find('?') == std::string::npos ? "?key=" : "&key=";
      address += url_encode(maps.clave);
    }
    return "<script type=\"text/javascript\" src=\"" + html_attribute(address) + "\"></script>";
  }
  std::string s = "<link rel=\"stylesheet\" href=\"leaflet/leaflet.css\"/>\r\n";
  s += "<script type=\"text/javascript\">window.TOLVEX_MAPS = {tiles:{roadmap:";
  s += quote_double(maps.teselas_normal);
  s += ",satellite:";
  s += quote_double(maps.teselas_satelite);
  s += ",hybrid:";
  s += quote_double(maps.teselas_hibrido);
  s += ",terrain:";
  s += quote_double(maps.teselas_relieve);
  s += '}';
  if (!maps.elevacion.empty()) s += ",elevation:" + quote_double(maps.elevacion);
  if (!maps.geocodificador.empty()) s += ",geocoder:" + quote_double(maps.geocodificador);
  s += "};</script>\r\n";
  s += "<script type=\"text/javascript\" src=\"leaflet/leaflet.js\"></script>\r\n";
  s += "<script type=\"text/javascript\" src=\"tolvex_maps.js\"></script>";
  return s;
}

std::string page_script_host(bool MapaSK, const MapSettings& maps) {
  if (MapaSK) return maps.skyvector;
  if (!is_google(maps)) return {};
  const std::string secure = google_script_address(maps);
  std::string_view address = secure;
  const auto scheme = address.find("://");
  if (scheme != std::string_view::npos) address.remove_prefix(scheme + 3);
  return std::string(address.substr(0, address.find_first_of("/?#")));
}

std::string build_map_page(const MapPageInputs& in) {
  const std::string_view name = in.MapaSK ? "chart_page.html" : "main_page.html";
  const std::string_view page_template = embedded_page(name);
  if (page_template.empty())
    throw std::runtime_error("No se encuentra la plantilla de página " + std::string(name));
  return build_map_page(in, page_template);
}

std::string build_map_page(const MapPageInputs& in, std::string_view template_text) {
  std::string page(template_text);

  // Provider and address configuration first, so the documented steps see the full page.
  replace_all(page, "##MAPSAPI##", maps_api_tags(in.maps));
  replace_all(page, "##SKYVECTOR##", html_attribute(script_origin(in.maps.skyvector)));
  replace_all(page, "##MARCANARANJA##", single_quoted_content(in.maps.marca_naranja));
  replace_all(page, "##MARCAAZUL##", single_quoted_content(in.maps.marca_azul));
  replace_all(page, "##MARCAROJA##", single_quoted_content(in.maps.marca_roja));

  replace_all(page, "##LT##", coordinate_text(in.latitud));
  replace_all(page, "##LG##", coordinate_text(in.longitud));
  replace_all(page, "##ZM##", std::to_string(in.MapaSK ? in.ZoomSK : in.ZoomGL));
  replace_all(page, "##TMP##", map_type_name(in.tipogooglemap));
  replace_all(page, "##PUNTOSVFR##", in.puntos_vfr);
  replace_all(page, "##FICOSH##", "AvionSHW.png");
  if (in.MapaSK) replace_all(page, "##LTSKYVECTOR##", chart_size_style(in.mapsize));
  replace_all(page, "##RUTADIN##", rutadin_stroke(in.rutadin_color, in.rutadin_ancho, in.rutadin_trans));

  // The page picks the aircraft icon of this heading for its first frame.
  replace_all(page, "##HDG##", std::to_string(in.heading));
  replace_all(page, "##SUAVE##", in.suave ? "true" : "false");
  return page;
}

std::string map_page_log_line(std::string_view program_folder, std::int32_t heading) {
  std::string s = "Ruta:";
  for (char c : program_folder) s += c == '\\' ? '/' : c;
  s += " Head:";
  s += std::to_string(heading);
  return s;
}

}  // namespace tolvex
