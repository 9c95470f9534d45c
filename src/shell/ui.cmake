tolvex_ui_sources(shell
  main_window.cpp
  main_window_close.cpp
  main_window_link.cpp
  main_window_map.cpp
  main_window_tray.cpp
  tolvex_application.cpp
)
