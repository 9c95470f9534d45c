# Our keyless map provider and the three map libraries, in a real browser page.
foreach(name shim_geometry_test shim_map_test shim_libraries_test shim_services_test shim_main_page_test)
  tolvex_ui_test(${name} SOURCES ${CMAKE_CURRENT_LIST_DIR}/${name}.cpp)
  # Fallback for when the test environment does not carry TOLVEX_PROGRAM_DIR.
  target_compile_definitions(${name} PRIVATE TOLVEX_BUILT_PROGRAM_DIR="${TOLVEX_PROGRAM_DIR}")
endforeach()
