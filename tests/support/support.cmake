set(CMAKE_AUTOMOC ON)
add_library(tolvex_test_support STATIC
  ${CMAKE_CURRENT_LIST_DIR}/temp_program_folder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/fake_iocp_server.cpp
  ${CMAKE_CURRENT_LIST_DIR}/fake_web_host.cpp
  ${CMAKE_CURRENT_LIST_DIR}/fake_map_services.cpp
)
target_include_directories(tolvex_test_support PUBLIC ${CMAKE_SOURCE_DIR}/tests ${CMAKE_SOURCE_DIR}/src)
target_link_libraries(tolvex_test_support PUBLIC tolvex_ui Qt6::Test)
