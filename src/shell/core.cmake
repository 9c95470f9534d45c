tolvex_core_library(shell SOURCES
  number_format.cpp
  text_file.cpp
  ini_file.cpp
  settings.cpp
  diagnostic_log.cpp
)
