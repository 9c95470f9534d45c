tolvex_ui_test(main_window_tests SERIAL SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/main_window_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/main_window_link_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/main_window_xgps_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/main_window_fsuipc_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/main_window_map_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/main_window_config_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/main_window_shape_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/main_window_tablet_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/process_test.cpp
)
# The hot key's X11 event filter is fed key events as the X server sends them.
if(TARGET PkgConfig::XCB_KEYSYMS AND NOT WIN32)
  target_link_libraries(main_window_tests PRIVATE PkgConfig::XCB_KEYSYMS)
  target_compile_definitions(main_window_tests PRIVATE TOLVEX_TEST_X11)
endif()
