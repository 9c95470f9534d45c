tolvex_benchmark(map_bench SOURCES ${CMAKE_CURRENT_LIST_DIR}/map_page_bench.cpp LIBS tolvex_map_core)
