tolvex_core_test(simlink_core_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/iocp_protocol_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/poll_failure_streak_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/link_recovery_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/xgps_protocol_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/fsuipc_client_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/fsuipc_position_test.cpp
  LIBS tolvex_simlink_core)

tolvex_core_test(simfeed_model_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/simfeed_model_test.cpp
  LIBS simfeed_model tolvex_simlink_core)
