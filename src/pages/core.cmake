# Page templates, built into the program as string constants.
set(TOLVEX_PAGE_TEMPLATES
  main_page.html
  chart_page.html
  page6.htm
  route_page.html
  start_page.html
  tablet_page.html
)
# Page scripts and libraries the pages load from the program folder.
set(TOLVEX_PAGE_SCRIPTS
  markermanager_packed.js
  markerwithlabel_packed.js
  v3_epoly.js
  glide.js
  tablet_page.js
  tablet_page.css
)
# The keyless map provider is kept as parts by concern and shipped as one script; the order
# matters (each part uses what the earlier ones define).
set(TOLVEX_MAPS_PARTS base.js geometry.js map.js symbols.js markers.js edit_handles.js polylines.js outlines.js
  services.js)
list(TRANSFORM TOLVEX_MAPS_PARTS PREPEND ${CMAKE_SOURCE_DIR}/src/pages/tolvex_maps/)
set(TOLVEX_MAPS_JS ${CMAKE_BINARY_DIR}/generated/tolvex_maps.js)
add_custom_command(
  OUTPUT ${TOLVEX_MAPS_JS}
  COMMAND ${CMAKE_COMMAND} -DOUT=${TOLVEX_MAPS_JS} "-DPARTS=${TOLVEX_MAPS_PARTS}" -DSUBDIR=tolvex_maps
          -P ${CMAKE_SOURCE_DIR}/cmake/join_scripts.cmake
  DEPENDS ${TOLVEX_MAPS_PARTS} ${CMAKE_SOURCE_DIR}/cmake/join_scripts.cmake
  COMMENT "Joining the map provider script"
  VERBATIM)
set(TOLVEX_EMBEDDED_CPP ${CMAKE_BINARY_DIR}/generated/embedded_pages.cpp)
list(TRANSFORM TOLVEX_PAGE_TEMPLATES PREPEND ${CMAKE_SOURCE_DIR}/src/pages/)
list(TRANSFORM TOLVEX_PAGE_SCRIPTS PREPEND ${CMAKE_SOURCE_DIR}/src/pages/)
list(APPEND TOLVEX_PAGE_SCRIPTS ${TOLVEX_MAPS_JS})
add_custom_command(
  OUTPUT ${TOLVEX_EMBEDDED_CPP}
  COMMAND ${CMAKE_COMMAND} -DOUT=${TOLVEX_EMBEDDED_CPP} "-DFILES=${TOLVEX_PAGE_TEMPLATES}"
          -P ${CMAKE_SOURCE_DIR}/cmake/embed_files.cmake
  DEPENDS ${TOLVEX_PAGE_TEMPLATES} ${CMAKE_SOURCE_DIR}/cmake/embed_files.cmake
  COMMENT "Embedding page templates"
  VERBATIM)
add_library(tolvex_pages_core STATIC ${TOLVEX_EMBEDDED_CPP})
target_include_directories(tolvex_pages_core PUBLIC ${CMAKE_SOURCE_DIR}/src)
list(APPEND TOLVEX_CORE_LIBRARIES tolvex_pages_core)
