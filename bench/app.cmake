# Whole-application benchmarks: the program, its browser engine and local stand-ins for the
# simulator and the tile server. Run under `xvfb-run -a` (see each file's header).
set(TOLVEX_APP_BENCH_DEFINITIONS
  TOLVEX_BENCH_PROGRAM_DIR="${TOLVEX_PROGRAM_DIR}"
  TOLVEX_BENCH_EXECUTABLE="$<TARGET_FILE:tolvex>"
  TOLVEX_BENCH_SIMFEED="$<TARGET_FILE:simfeed>"
  TOLVEX_BENCH_PROBE="$<TARGET_FILE:app_start_probe>"
  TOLVEX_BENCH_TABLET_PROBE="$<TARGET_FILE:tablet_probe>")

# Not a benchmark: the program's start-up, reporting its first page load (app_process_bench runs it).
add_executable(app_start_probe ${CMAKE_CURRENT_LIST_DIR}/app_start_probe.cpp)
target_link_libraries(app_start_probe PRIVATE tolvex_ui)
target_compile_definitions(app_start_probe PRIVATE TOLVEX_BENCH_PROGRAM_DIR="${TOLVEX_PROGRAM_DIR}")

# Not a benchmark either: tablets' browsers in a process of their own (app_tablet_bench runs it).
add_executable(tablet_probe ${CMAKE_CURRENT_LIST_DIR}/tablet_probe.cpp)
target_link_libraries(tablet_probe PRIVATE Qt6::WebEngineWidgets)

foreach(name app_live_bench app_page_bench app_process_bench app_xgps_bench app_glide_bench app_tablet_bench)
  tolvex_benchmark(${name} SOURCES ${CMAKE_CURRENT_LIST_DIR}/${name}.cpp LIBS tolvex_ui tolvex_test_support simfeed_server)
  target_compile_definitions(${name} PRIVATE ${TOLVEX_APP_BENCH_DEFINITIONS})
  set_target_properties(${name} PROPERTIES AUTOMOC OFF)
  add_dependencies(${name} program_files tolvex simfeed app_start_probe tablet_probe)
endforeach()
