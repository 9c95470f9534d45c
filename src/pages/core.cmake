# Page templates, built into the program as string constants.
set(TOLVEX_PAGE_TEMPLATES
  main_page.html
  chart_page.html
  page6.htm
)
# Page scripts and libraries the pages load from the program folder.
set(TOLVEX_PAGE_SCRIPTS
  tolvex_maps.js
  markermanager_packed.js
  markerwithlabel_packed.js
  v3_epoly.js
)
set(TOLVEX_EMBEDDED_CPP ${CMAKE_BINARY_DIR}/generated/embedded_pages.cpp)
list(TRANSFORM TOLVEX_PAGE_TEMPLATES PREPEND ${CMAKE_SOURCE_DIR}/src/pages/)
list(TRANSFORM TOLVEX_PAGE_SCRIPTS PREPEND ${CMAKE_SOURCE_DIR}/src/pages/)
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
