tolvex_core_test(base_core_tests
  SOURCES
    base/number_format_test.cpp
    base/text_file_test.cpp
    base/ini_file_test.cpp
    base/diagnostic_log_test.cpp
    base/outside_text_test.cpp
  LIBS tolvex_base_core)
