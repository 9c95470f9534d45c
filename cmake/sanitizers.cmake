# Compiler flags of the sanitizer build (TOLVEX_SANITIZE) and of the fuzz build (TOLVEX_FUZZ).
# Any finding stops the program (no recovery), so a test or a fuzz run fails on it; the
# standard library checks its own bounds too. -O1 -g1 keeps these builds quick to compile
# while reports still name file and line.
set(tolvex_sanitizers -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer
    -D_GLIBCXX_ASSERTIONS -O1 -g1)
if(TOLVEX_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "The fuzz build needs clang (libFuzzer): configure with -DCMAKE_CXX_COMPILER=clang++-14")
  endif()
  set(TOLVEX_CORE_ONLY ON)
  # The libraries carry the coverage feedback; each fuzz target links libFuzzer's main.
  add_compile_options(${tolvex_sanitizers} -fsanitize=fuzzer-no-link)
  add_link_options(-fsanitize=address,undefined)
elseif(TOLVEX_SANITIZE)
  add_compile_options(${tolvex_sanitizers})
  add_link_options(-fsanitize=address,undefined)
endif()
