#include "tablet/tablet_page.h"

#include <algorithm>
#include <stdexcept>

#include "map/map_page_builder.h"
#include "map/page_files.h"
#include "map/script_escape.h"
#include "pages/embedded_pages.h"
#include "tablet/tablet_key.h"

namespace tolvex {
namespace {

bool is_host_char(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' || c == '-' ||
         c == ':' || c == '[' || c == ']' || c == '*';
}

// A marker picture as the page loads it: a name of the program folder with the key, or an
// absolute address as configured.
std::string picture_address(std::string_view configured, std::string_view key) {
  if (!address_origin(configured).empty()) return std::string(configured);
  const std::string path = "/" + std::string(configured);
  if (!page_file_path(path)) return {};
  return std::string(configured) + "?" + std::string(kKeyParameter) + "=" + std::string(key);
}

std::string settings_json(std::string_view key, const MapSettings& maps) {
  std::string json = R"({"clave":)" + quote_double(key) + R"(,"tiles":{"roadmap":)" + quote_double(maps.teselas_normal) +
                     R"(,"satellite":)" + quote_double(maps.teselas_satelite) + R"(,"hybrid":)" +
                     quote_double(maps.teselas_hibrido) + R"(,"terrain":)" + quote_double(maps.teselas_relieve) +
                     R"(},"marcas":{"naranja":)" + quote_double(picture_address(maps.marca_naranja, key)) +
                     R"(,"azul":)" + quote_double(picture_address(maps.marca_azul, key)) + R"(,"roja":)" +
                     quote_double(picture_address(maps.marca_roja, key)) + "}}";
  return json;
}

}  // namespace

std::string build_tablet_page(std::string_view key, const MapSettings& maps) {
  const std::string_view page_template = embedded_page("tablet_page.html");
  if (page_template.empty()) throw std::runtime_error("No se encuentra la plantilla de página tablet_page.html");
  std::string page(page_template);
  // Settings first: what they insert is escaped and holds no placeholder ("##" is broken up).
  replace_all(page, "##AJUSTES##", settings_json(key, maps));
  replace_all(page, "##CLAVE##", html_attribute(key));
  return page;
}

std::string address_origin(std::string_view address) {
  std::string_view scheme;
  if (address.starts_with("https://")) scheme = "https://";
  else if (address.starts_with("http://")) scheme = "http://";
  else return {};
  address.remove_prefix(scheme.size());
  std::string host(address.substr(0, address.find_first_of("/?#")));
  // Tile servers spread over subdomains ("{s}.tile..."): any subdomain of the rest.
  if (host.starts_with("{s}.")) host.replace(0, 3, "*");
  if (host.empty() || host == "*" || !std::all_of(host.begin(), host.end(), is_host_char)) return {};
  if (host.find('*', 1) != std::string::npos) return {};
  return std::string(scheme) + host;
}

std::string tablet_page_policy(const MapSettings& maps) {
  std::vector<std::string> origins;
  for (const std::string* address : {&maps.teselas_normal, &maps.teselas_satelite, &maps.teselas_hibrido,
                                     &maps.teselas_relieve, &maps.marca_naranja, &maps.marca_azul, &maps.marca_roja}) {
    std::string origin = address_origin(*address);
    if (!origin.empty() && std::find(origins.begin(), origins.end(), origin) == origins.end())
      origins.push_back(std::move(origin));
  }
  // data: for the map's own default marker picture.
  std::string img = "img-src 'self' data:";
  for (const std::string& o : origins) img += " " + o;
  return "default-src 'none'; script-src 'self'; style-src 'self' 'unsafe-inline'; " + img +
         "; connect-src 'self'; base-uri 'none'; form-action 'none'; frame-ancestors 'none'";
}

HeaderList tablet_page_headers(const MapSettings& maps) {
  return {{"Content-Security-Policy", tablet_page_policy(maps)},
          {"Cache-Control", "no-store"},
          {"Referrer-Policy", "strict-origin"},
          {"X-Content-Type-Options", "nosniff"},
          {"X-Frame-Options", "DENY"}};
}

HeaderList page_file_headers() {
  return {{"Cache-Control", "private, max-age=3600"},
          {"Referrer-Policy", "strict-origin"},
          {"X-Content-Type-Options", "nosniff"}};
}

HeaderList refusal_headers() {
  return {{"Content-Length", "0"}, {"Cache-Control", "no-store"}, {"Connection", "close"}};
}

}  // namespace tolvex
