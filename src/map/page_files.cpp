#include "map/page_files.h"

#include "map/script_escape.h"

namespace tolvex {

std::string page_base_element(std::string_view files_url) {
  if (files_url.empty()) return {};
  return "<base href=\"" + html_attribute(files_url) + "\"/>";
}

}  // namespace tolvex
