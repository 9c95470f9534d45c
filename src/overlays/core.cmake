tolvex_core_library(overlays DEPENDS tolvex_base_core tolvex_map_core SOURCES
  airspace_catalogue.cpp
  airspace_drawing.cpp
  vfr_points.cpp
  airspace_selection.cpp
  openair_coordinates.cpp
  sphere_geometry.cpp
  airspace_limits.cpp
  openair_reader.cpp
)
