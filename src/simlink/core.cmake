tolvex_core_library(simlink DEPENDS tolvex_base_core SOURCES
  iocp_protocol.cpp
  xgps_protocol.cpp
  link_recovery.cpp
  fsuipc_client.cpp
  extended_product.cpp
  fsuipc_position.cpp
)
# The FSUIPC link's system calls: Win32 on Windows, none elsewhere.
if(WIN32)
  target_sources(tolvex_simlink_core PRIVATE ${CMAKE_SOURCE_DIR}/src/platform/fsuipc_transport_windows.cpp)
else()
  target_sources(tolvex_simlink_core PRIVATE ${CMAKE_SOURCE_DIR}/src/platform/fsuipc_transport_none.cpp)
endif()
