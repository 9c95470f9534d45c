tolvex_core_test(shell_core_tests
  SOURCES
    shell/number_format_test.cpp
    shell/text_file_test.cpp
    shell/ini_file_test.cpp
    shell/settings_test.cpp
    shell/diagnostic_log_test.cpp
  LIBS tolvex_shell_core)
