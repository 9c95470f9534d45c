tolvex_ui_sources(dialogs
  config_window.cpp
  about_window.cpp
  sound_cues.cpp
  qr_code_qt.cpp
  tablet_group_qt.cpp
)
