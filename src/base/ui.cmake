tolvex_ui_sources(base
  accessibility_qt.cpp
  radio_list_qt.cpp
  dialog_font_qt.cpp
)
