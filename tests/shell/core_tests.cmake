tolvex_core_test(shell_core_tests
  SOURCES
    shell/settings_test.cpp
    shell/program_folder_test.cpp
    shell/bitmap_region_test.cpp
    shell/window_placement_test.cpp
  LIBS tolvex_shell_core)
