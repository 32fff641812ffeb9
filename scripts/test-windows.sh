#!/usr/bin/env bash
# Cross-builds the core, tavrel-cli, the native window and their tests for 64-bit Windows (build-win/) and runs the
# tests under Wine on a virtual display twice: with the ANSI code page 949 (Korean locale) and with 1252 (C locale).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh test
jobs="$(nproc)"

cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=Release \
  -DTAVREL_BUILD_UI=OFF >/dev/null
cmake --build build-win -j"$jobs"

source scripts/wine-prefix.sh

# TAVREL_TEST_ACP lets a test check that Wine really took the code page from the locale. The window's test needs a
# display; Wine's processes end with each one, and the next run waits until its server is gone. A test whose Wine
# client lost its server ("recvmsg: Connection reset by peer") fails without running; it gets one more try.
run_tests() {
  echo "== Windows tests, ANSI code page $2"
  local result=0
  (cd build-win && env LC_ALL="$1" LANG="$1" TAVREL_TEST_ACP="$2" \
    xvfb-run -a ctest --output-on-failure -j"$jobs" --repeat until-pass:2) || result=1
  wineserver -k || true
  wineserver -w || true
  return "$result"
}
status=0
run_tests ko_KR.UTF-8 949 || status=1
run_tests C.UTF-8 1252 || status=1
wineserver -k || true
exit "$status"
