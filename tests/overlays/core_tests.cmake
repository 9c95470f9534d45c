tolvex_core_test(overlays_core_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/airspace_catalogue_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/airspace_drawing_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/vfr_points_test.cpp
  LIBS tolvex_overlays_core)
