# Everything the program folder holds besides the executable: page scripts, Leaflet, pictures.
set(leaflet_dist ${CMAKE_SOURCE_DIR}/node_modules/leaflet/dist)
if(NOT EXISTS ${leaflet_dist}/leaflet.js)
  message(FATAL_ERROR "Leaflet is missing: run scripts/setup (npm ci) first.")
endif()
set(program_outputs)
foreach(f IN LISTS TOLVEX_PAGE_SCRIPTS)
  get_filename_component(name ${f} NAME)
  add_custom_command(OUTPUT ${TOLVEX_PROGRAM_DIR}/${name}
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${f} ${TOLVEX_PROGRAM_DIR}/${name}
    DEPENDS ${f})
  list(APPEND program_outputs ${TOLVEX_PROGRAM_DIR}/${name})
endforeach()
foreach(name leaflet.js leaflet.css)
  add_custom_command(OUTPUT ${TOLVEX_PROGRAM_DIR}/leaflet/${name}
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${leaflet_dist}/${name} ${TOLVEX_PROGRAM_DIR}/leaflet/${name}
    DEPENDS ${leaflet_dist}/${name})
  list(APPEND program_outputs ${TOLVEX_PROGRAM_DIR}/leaflet/${name})
endforeach()
add_custom_target(program_files ALL DEPENDS ${program_outputs} assets)
# What an install puts beside the executable (cmake/package.cmake).
set(TOLVEX_PROGRAM_FILES ${program_outputs} ${TOLVEX_ASSET_FILES})
add_dependencies(tolvex program_files)
