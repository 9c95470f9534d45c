tolvex_core_library(overlays DEPENDS tolvex_base_core tolvex_map_core SOURCES
  airspace_catalogue.cpp
  airspace_drawing.cpp
  vfr_points.cpp
  airspace_selection.cpp
)
