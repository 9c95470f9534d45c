tolvex_ui_sources(base
  accessibility_qt.cpp
)
