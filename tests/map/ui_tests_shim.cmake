# Our keyless map provider and the three map libraries, in a real browser page.
tolvex_ui_test(shim_geometry_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/shim_geometry_test.cpp)
tolvex_ui_test(shim_map_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/shim_map_test.cpp)
tolvex_ui_test(shim_libraries_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/shim_libraries_test.cpp)
tolvex_ui_test(shim_services_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/shim_services_test.cpp)
tolvex_ui_test(shim_main_page_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/shim_main_page_test.cpp)
