tolvex_ui_test(tablet_server_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/tablet_server_test.cpp)
target_compile_definitions(tablet_server_test PRIVATE TOLVEX_BUILT_PROGRAM_DIR="${TOLVEX_PROGRAM_DIR}")
