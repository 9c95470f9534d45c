tolvex_ui_test(main_window_tests SERIAL SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/main_window_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/main_window_link_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/main_window_fsuipc_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/main_window_map_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/process_test.cpp
)
