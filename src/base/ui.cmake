tolvex_ui_sources(base
  accessibility_qt.cpp
  radio_list_qt.cpp
  dialog_font_qt.cpp
  placed_controls_qt.cpp
  busy_cursor_qt.cpp
  message_box_qt.cpp
)
