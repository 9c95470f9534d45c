# The route editor and the flight plan in process, with local stand-ins for the web services.
tolvex_benchmark(route_bench SOURCES ${CMAKE_CURRENT_LIST_DIR}/route_bench.cpp LIBS tolvex_ui tolvex_test_support simfeed_server)
target_compile_definitions(route_bench PRIVATE TOLVEX_BENCH_PROGRAM_DIR="${TOLVEX_PROGRAM_DIR}")
set_target_properties(route_bench PROPERTIES AUTOMOC OFF)
add_dependencies(route_bench program_files)
