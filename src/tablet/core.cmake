tolvex_core_library(tablet DEPENDS tolvex_base_core tolvex_map_core tolvex_overlays_core tolvex_pages_core SOURCES
  tablet_key.cpp
  request_gate.cpp
  tablet_messages.cpp
  tablet_state.cpp
  tablet_page.cpp
)
