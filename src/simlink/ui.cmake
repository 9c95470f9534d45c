tolvex_ui_sources(simlink
  iocp_client_qt.cpp
  xgps_client_qt.cpp
)
