#!/usr/bin/env bash
# Cross-builds the core, tavrel-cli and the core's tests for 64-bit Windows (build-win/) and runs the tests under
# Wine twice: with the ANSI code page 949 (Korean locale) and with 1252 (C locale).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh test
jobs="$(nproc)"

cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=Release \
  -DTAVREL_BUILD_UI=OFF >/dev/null
cmake --build build-win -j"$jobs"

# A prefix of our own, made once: no Mono or Gecko to offer, no debug chatter.
export WINEPREFIX="$PWD/build-win/wine-prefix"
export WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if [[ ! -f "$WINEPREFIX/system.reg" ]]; then
  wine_loader="$(command -v wine64 || echo /usr/lib/wine/wine64)"
  "$wine_loader" wineboot -i >/dev/null 2>&1
  wineserver -w
fi

# TAVREL_TEST_ACP lets a test check that Wine really took the code page from the locale.
run_tests() {
  echo "== Windows tests, ANSI code page $2"
  (cd build-win && env LC_ALL="$1" LANG="$1" TAVREL_TEST_ACP="$2" ctest --output-on-failure -j"$jobs")
}
status=0
run_tests ko_KR.UTF-8 949 || status=1
run_tests C.UTF-8 1252 || status=1
wineserver -k || true
exit "$status"
