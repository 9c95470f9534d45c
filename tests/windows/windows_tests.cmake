# Windows: the core's test programs and the FSUIPC link on real Win32 calls, cross-compiled with
# mingw-w64 into build/windows and run under Wine, one at a time, by tests/windows/wine.sh.
# Where Wine or mingw-w64 is missing, every one of them reports itself skipped.
if(TOLVEX_CORE_ONLY)
  if(WIN32)
    add_executable(fake_fsuipc_server ${CMAKE_CURRENT_LIST_DIR}/fake_fsuipc_server.cpp)
    target_include_directories(fake_fsuipc_server PRIVATE ${CMAKE_SOURCE_DIR}/tests ${CMAKE_SOURCE_DIR}/src)
    tolvex_core_test(fsuipc_wine_tests
      SOURCES ${CMAKE_CURRENT_LIST_DIR}/fsuipc_wine_test.cpp
      LIBS tolvex_simlink_core)
  endif()
  return()
endif()

set(wine_sh ${CMAKE_CURRENT_LIST_DIR}/wine.sh)
set(windows_dir ${CMAKE_BINARY_DIR}/windows)
set(wine_env "TOLVEX_SOURCE_DIR=${CMAKE_SOURCE_DIR}" "TOLVEX_WINDOWS_DIR=${windows_dir}"
             "WINEPREFIX=${CMAKE_BINARY_DIR}/wine-prefix")

# SETUP / CLEANUP: the fixture this test starts or ends; REQUIRES: the fixtures it needs;
# AFTER: tests it must follow.
function(tolvex_wine_test name)
  cmake_parse_arguments(ARG "" "TIMEOUT;SETUP;CLEANUP" "COMMAND;REQUIRES;AFTER" ${ARGN})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 120)
  endif()
  add_test(NAME ${name} COMMAND ${wine_sh} ${ARG_COMMAND})
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "${wine_env}" SKIP_RETURN_CODE 77 TIMEOUT ${ARG_TIMEOUT})
  if(NOT name STREQUAL "windows_build")  # the build may overlap with making the prefix
    set_property(TEST ${name} PROPERTY RESOURCE_LOCK wine)
  endif()
  if(ARG_SETUP)
    set_property(TEST ${name} PROPERTY FIXTURES_SETUP ${ARG_SETUP})
  endif()
  if(ARG_CLEANUP)
    set_property(TEST ${name} PROPERTY FIXTURES_CLEANUP ${ARG_CLEANUP})
  endif()
  if(ARG_REQUIRES)
    set_property(TEST ${name} PROPERTY FIXTURES_REQUIRED ${ARG_REQUIRES})
  endif()
  if(ARG_AFTER)
    set_property(TEST ${name} PROPERTY DEPENDS ${ARG_AFTER})
  endif()
endfunction()

tolvex_wine_test(windows_build COMMAND build TIMEOUT 1800 SETUP windows_build)
tolvex_wine_test(windows_wine_prefix COMMAND prefix TIMEOUT 300 SETUP wine)
tolvex_wine_test(windows_wine_stop COMMAND stop CLEANUP wine)

get_property(core_tests GLOBAL PROPERTY TOLVEX_CORE_TESTS)
foreach(t IN LISTS core_tests)
  tolvex_wine_test(windows_${t} COMMAND run ${t} REQUIRES windows_build wine)
endforeach()

# The exchange with a well-behaved server, then with one that stalls, then with none.
tolvex_wine_test(fsuipc_server_start COMMAND start-server SETUP fsuipc_server REQUIRES windows_build wine)
tolvex_wine_test(fsuipc_exchange COMMAND run fsuipc_wine_tests --gtest_filter=FsuipcWine.ExchangeWithTheServer
  REQUIRES fsuipc_server windows_build wine)
tolvex_wine_test(fsuipc_server_stop COMMAND stop-server CLEANUP fsuipc_server REQUIRES windows_build wine)

tolvex_wine_test(fsuipc_stalling_server_start COMMAND start-server --stall-after 1 --stall-ms 2500
  SETUP fsuipc_stalling_server REQUIRES windows_build wine AFTER fsuipc_server_stop)
tolvex_wine_test(fsuipc_stalled_server COMMAND run fsuipc_wine_tests --gtest_filter=FsuipcWine.StalledServer*
  REQUIRES fsuipc_stalling_server windows_build wine)
tolvex_wine_test(fsuipc_stalling_server_stop COMMAND stop-server CLEANUP fsuipc_stalling_server
  REQUIRES windows_build wine)

tolvex_wine_test(fsuipc_no_window COMMAND run fsuipc_wine_tests --gtest_filter=FsuipcWine.NoSimulatorWindow
  REQUIRES windows_build wine AFTER fsuipc_server_stop fsuipc_stalling_server_stop)
