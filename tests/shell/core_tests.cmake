tolvex_core_test(shell_core_tests
  SOURCES
    shell/settings_test.cpp
  LIBS tolvex_shell_core)
