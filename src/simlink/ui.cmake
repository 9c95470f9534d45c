tolvex_ui_sources(simlink
  iocp_client_qt.cpp
  iocp_connect_qt.cpp
  iocp_reopen_qt.cpp
  xgps_client_qt.cpp
)
