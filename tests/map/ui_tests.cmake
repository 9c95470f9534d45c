foreach(test bridge_browser_test bridge_profile_test page_script_test glide_page_test)
  tolvex_ui_test(${test} SOURCES ${CMAKE_CURRENT_LIST_DIR}/${test}.cpp)
  target_compile_definitions(${test} PRIVATE TOLVEX_BUILT_PROGRAM_DIR="${TOLVEX_PROGRAM_DIR}")
endforeach()
