tolvex_benchmark(simlink_parse_bench
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/simlink_parse_bench.cpp
  LIBS tolvex_simlink_core)

tolvex_benchmark(simlink_poll_bench
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/simlink_poll_bench.cpp
  LIBS tolvex_ui simfeed_server)
