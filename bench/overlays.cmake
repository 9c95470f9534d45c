tolvex_benchmark(overlays_bench
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/overlays_bench.cpp
  LIBS tolvex_overlays_core)
