#pragma once
// Page templates built into the program; looked up by their file name under src/pages.
#include <string_view>

namespace tolvex {

// The template's text, or an empty view when no template has that name.
std::string_view embedded_page(std::string_view name);

}  // namespace tolvex
