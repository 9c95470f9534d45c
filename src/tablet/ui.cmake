tolvex_ui_sources(tablet
  request_gate_qt.cpp
  tablet_server_qt.cpp
)
