#!/usr/bin/env bash
# Makes build-win/tavrel-<version>-windows-x64.zip: tavrel.exe (the native window), tavrel-cli.exe and a short
# Korean and English readme, cross-built with MinGW-w64. Both programs are linked statically: no DLL to ship.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh test

cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=Release \
  -DTAVREL_BUILD_UI=OFF >/dev/null
cmake --build build-win -j2 --target tavrel_win32 tavrel-cli

version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build-win/CMakeCache.txt)"
name="tavrel-$version-windows-x64"
stage="build-win/package/$name"
rm -rf "$stage" "build-win/$name.zip"
mkdir -p "$stage"
x86_64-w64-mingw32-strip -o "$stage/tavrel.exe" build-win/ui/win32/tavrel.exe
x86_64-w64-mingw32-strip -o "$stage/tavrel-cli.exe" build-win/cli/tavrel-cli.exe
# UTF-8 with a byte-order mark and CR LF, as Notepad reads it best.
{ printf '\xEF\xBB\xBF'; sed 's/$/\r/' res/README-windows.txt; } >"$stage/README-windows.txt"

(cd build-win/package && cmake -E tar cf "../$name.zip" --format=zip "$name")
echo "build-win/$name.zip: $(stat -c %s "build-win/$name.zip") bytes"
