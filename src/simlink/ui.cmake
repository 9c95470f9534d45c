tolvex_ui_sources(simlink
  iocp_client_qt.cpp
)
