tolvex_core_library(shell SOURCES
  number_format.cpp
  text_file.cpp
)
