#!/usr/bin/env bash
# The steps of the Windows tests, each run by CTest (tests/windows/windows_tests.cmake):
#   build                 cross-compile the core and its tests into $TOLVEX_WINDOWS_DIR (mingw-w64)
#   prefix                make the Wine prefix once: no display (graphics driver "null")
#   run NAME [ARGS]       run test program NAME.exe under Wine
#   start-server [ARGS]   start the fake FSUIPC server in the background, return once its window is up
#   stop-server           end the fake FSUIPC server
#   stop                  stop the Wine server of the prefix
# Exits 77 (skipped) where Wine or mingw-w64 is not installed.
set -euo pipefail

if ! command -v wine >/dev/null 2>&1 || ! command -v x86_64-w64-mingw32-g++-posix >/dev/null 2>&1; then
  echo "skipped: Wine (wine, wine64) or mingw-w64 (g++-mingw-w64-x86-64-posix) is not installed"
  exit 77
fi

: "${TOLVEX_SOURCE_DIR:?}" "${TOLVEX_WINDOWS_DIR:?}" "${WINEPREFIX:?}"
export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
bin="$TOLVEX_WINDOWS_DIR/bin"
ready="$WINEPREFIX/.tolvex-ready"

# Runs a Windows program with its output through a file: the Wine background processes it may
# start inherit that file, not CTest's pipe (CTest would wait for them to end).
run_wine() {
  local log
  log=$(mktemp)
  local rc=0
  wine "$@" >"$log" 2>&1 </dev/null || rc=$?
  cat "$log"
  rm -f "$log"
  return "$rc"
}

step=${1:?step}
shift
case "$step" in
  build)
    if [ ! -f "$TOLVEX_WINDOWS_DIR/build.ninja" ]; then
      launcher=()
      command -v ccache >/dev/null 2>&1 && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
      cmake -S "$TOLVEX_SOURCE_DIR" -B "$TOLVEX_WINDOWS_DIR" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$TOLVEX_SOURCE_DIR/cmake/mingw-w64.cmake" "${launcher[@]}" >/dev/null
    fi
    cmake --build "$TOLVEX_WINDOWS_DIR" -j "$(nproc)"
    ;;
  prefix)
    if [ ! -f "$ready" ]; then
      rm -rf "$WINEPREFIX"
      start=$(date +%s)
      wineboot -i >/dev/null 2>&1
      wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null
      wineserver -w
      echo "Wine prefix made in $(( $(date +%s) - start )) s"
      touch "$ready"
    fi
    # One Wine server (and one set of Wine's background processes) for all the tests instead of
    # one per program; it ends by itself 5 minutes after the last program if "stop" never runs.
    wineserver -p300 >/dev/null 2>&1 </dev/null
    run_wine cmd /c exit 0 >/dev/null
    ;;
  run)
    name=${1:?name}
    shift
    run_wine "$bin/$name.exe" "$@"
    ;;
  start-server)
    setsid wine "$bin/fake_fsuipc_server.exe" "$@" >"$TOLVEX_WINDOWS_DIR/fake_fsuipc_server.log" 2>&1 </dev/null &
    run_wine "$bin/fake_fsuipc_server.exe" --wait
    ;;
  stop-server)
    run_wine "$bin/fake_fsuipc_server.exe" --stop
    ;;
  stop)
    [ -d "$WINEPREFIX" ] && wineserver -k 2>/dev/null || true
    ;;
  *)
    echo "unknown step $step" >&2
    exit 2
    ;;
esac
