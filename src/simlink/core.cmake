tolvex_core_library(simlink DEPENDS tolvex_base_core SOURCES
  iocp_protocol.cpp
  xgps_protocol.cpp
)
