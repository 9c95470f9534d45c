tolvex_core_library(shell DEPENDS tolvex_base_core SOURCES
  settings.cpp
  program_folder.cpp
  bitmap_region.cpp
  window_placement.cpp
)
