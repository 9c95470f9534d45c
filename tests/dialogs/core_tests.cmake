tolvex_core_test(dialogs_core_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/config_rules_test.cpp
  LIBS tolvex_dialogs_core)
