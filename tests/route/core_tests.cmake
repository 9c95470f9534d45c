tolvex_core_test(route_core_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/route_page_builder_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/route_file_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/flight_plan_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/flight_plan_table_test.cpp
  LIBS tolvex_route_core)
