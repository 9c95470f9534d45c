tolvex_ui_sources(dialogs
  config_window.cpp
  about_window.cpp
  sound_cues.cpp
)
