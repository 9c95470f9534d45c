#pragma once
// Our pages are written into the program folder (the pilot's data) but take their script files,
// Leaflet and pictures from the folder of the executable, so that a program folder given with
// --folder needs nothing but the pilot's data.
#include <string>
#include <string_view>

namespace tolvex {

// "<base href=\"...\"/>" for a page whose relative addresses resolve in `files_url`, the file
// address of a folder ending in '/' (the UI builds it with QUrl::fromLocalFile). Empty when
// files_url is empty: relative addresses then resolve beside the page.
std::string page_base_element(std::string_view files_url);

}  // namespace tolvex
