tolvex_core_library(simlink DEPENDS $<TARGET_NAME_IF_EXISTS:tolvex_shell_core> SOURCES
  iocp_protocol.cpp
)
