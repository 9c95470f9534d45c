# The fake IOCP server in tests/support runs simfeed's server in-process.
target_link_libraries(tolvex_test_support PUBLIC simfeed_server)

tolvex_ui_test(simlink_client_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/iocp_client_test.cpp)
