tolvex_core_test(tablet_core_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/tablet_key_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/request_gate_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tablet_messages_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tablet_page_test.cpp
  LIBS tolvex_tablet_core)
