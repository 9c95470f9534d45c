tolvex_ui_sources(overlays
  airspace_selection_window.cpp
)
