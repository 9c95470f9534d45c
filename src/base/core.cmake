tolvex_core_library(base SOURCES
  number_format.cpp
  text_file.cpp
  ini_file.cpp
  diagnostic_log.cpp
  outside_text.cpp
)
