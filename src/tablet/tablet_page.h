#pragma once
// The tablet's page (src/pages/tablet_page.html) and what it is served with. The page runs only
// scripts of its own origin: its settings travel as a JSON data block, its drawing is done by
// tablet_page.js from the data the socket brings.
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "map/map_settings.h"

namespace tolvex {

using HeaderList = std::vector<std::pair<std::string, std::string>>;

// The page for `key` (is_valid_key): every address in it carries the key; the tile addresses
// and marker pictures are those of the MAPAS section. Throws std::runtime_error when the
// template is not built into the program.
std::string build_tablet_page(std::string_view key, const MapSettings& maps);

// "https://a.tile.example.org" of a tile or picture address ("{s}" in the host becomes "*");
// empty for a relative address, another scheme, or a host with characters an origin cannot
// hold. Pictures and tiles from elsewhere are not loaded by the page.
std::string address_origin(std::string_view address);

// The Content-Security-Policy of the page: scripts and styles of its own origin only (no inline
// script, no eval; inline styles for the map library), pictures from its origin and the map's
// tile and picture hosts, the socket on its own origin, nothing else.
std::string tablet_page_policy(const MapSettings& maps);

// Headers of the page and of a page file (the page is never cached: it holds the key).
HeaderList tablet_page_headers(const MapSettings& maps);
HeaderList page_file_headers();
// Headers of a refusal: no content at all.
HeaderList refusal_headers();

}  // namespace tolvex
