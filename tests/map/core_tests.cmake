tolvex_core_test(map_core_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/colour_table_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/script_escape_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/map_page_builder_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/view_statements_test.cpp
  LIBS tolvex_map_core)
