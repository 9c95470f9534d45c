tolvex_ui_sources(shell
  main_window.cpp
)
