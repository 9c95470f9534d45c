tolvex_core_test(overlays_core_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/airspace_catalogue_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/airspace_drawing_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/vfr_points_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/demo_data_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/airspace_selection_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/openair_reader_test.cpp
  LIBS tolvex_overlays_core)
target_compile_definitions(overlays_core_tests PRIVATE TOLVEX_DEMO_DIR="${CMAKE_SOURCE_DIR}/demo/")
