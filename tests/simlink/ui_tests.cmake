# The fake IOCP server in tests/support runs simfeed's server in-process.
target_link_libraries(tolvex_test_support PUBLIC simfeed_server)

tolvex_ui_test(simlink_client_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/iocp_client_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/simfeed_program_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/xgps_client_test.cpp)
# The test environment's TOLVEX_SIMFEED is preferred; this is the fallback when it is missing.
target_compile_definitions(simlink_client_tests PRIVATE SIMFEED_BUILT_PATH="$<TARGET_FILE:simfeed>")
