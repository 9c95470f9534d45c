tolvex_ui_test(route_page_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/route_page_test.cpp)
target_compile_definitions(route_page_test PRIVATE TOLVEX_BUILT_PROGRAM_DIR="${TOLVEX_PROGRAM_DIR}")
tolvex_ui_test(route_editor_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/route_editor_test.cpp)
target_compile_definitions(route_editor_test PRIVATE TOLVEX_BUILT_PROGRAM_DIR="${TOLVEX_PROGRAM_DIR}")
