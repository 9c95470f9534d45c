tolvex_ui_test(bridge_browser_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/bridge_browser_test.cpp)
