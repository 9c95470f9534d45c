# What the core needs when it is built on its own: GoogleTest, from the system when it has one
# for this compiler, else from Debian's sources (libgtest-dev puts them in /usr/src/googletest).
find_package(GTest QUIET)
if(NOT GTest_FOUND)
  set(TOLVEX_GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources")
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(${TOLVEX_GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
endif()
