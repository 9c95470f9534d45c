tolvex_core_library(route DEPENDS tolvex_base_core tolvex_map_core tolvex_overlays_core tolvex_pages_core SOURCES
  route_page_builder.cpp
  route_file.cpp
  flight_plan.cpp
  flight_plan_table.cpp
)
