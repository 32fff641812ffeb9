#!/usr/bin/env bash
# Installs what is missing, builds Tavrel and runs every test: the normal
# build, the suite again under AddressSanitizer and UndefinedBehaviorSanitizer, the fuzz smoke, the Debian package
# and its checks, then the Windows build under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh test
jobs="$(nproc)"
export QT_QPA_PLATFORM=offscreen

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$jobs"

cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DTAVREL_SANITIZE=ON >/dev/null
cmake --build build-asan -j"$jobs"

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
(cd build-asan && ctest --output-on-failure -j"$jobs")
(cd build && ctest --output-on-failure -j"$jobs")

# Fuzz smoke: a clang build of the libFuzzer targets, each run a few seconds
# over its checked-in seeds, so a regression in any reader shows up here.
cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTAVREL_FUZZ=ON -DTAVREL_BUILD_UI=OFF -DTAVREL_BUILD_TESTS=OFF >/dev/null
cmake --build build-fuzz -j"$jobs" --target fuzz
(cd build-fuzz/fuzz && ctest -L fuzz --output-on-failure)

# Package: the Release build and .deb of scripts/package.sh, unpacked and checked.
package_start=$SECONDS
scripts/package.sh
scripts/check-package.sh build-package/tavrel_*_amd64.deb
echo "package step: $((SECONDS - package_start)) s"

# The core, tavrel-cli and the core's tests cross-built for Windows and run under Wine in two code pages.
scripts/test-windows.sh
