#!/usr/bin/env bash
# Runs the golden cases (tests/golden/cases.txt) through the built tavrel-cli
# and compares what they write with tests/golden/expected/. With --update it
# rewrites expected/ from the current build instead: review the git diff of
# tests/golden before committing it. BUILD_DIR picks the build (default: build).
set -euo pipefail
cd "$(dirname "$0")/.."
build="${BUILD_DIR:-build}"
if [[ -f "$build/CMakeCache.txt" ]]; then
  cmake -S . -B "$build" >/dev/null
else
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$build" -j"$(nproc)" --target Golden
"$build/tests/Golden" "$@"
if [[ "${1:-}" == "--update" ]]; then
  git status --short -- tests/golden
fi
