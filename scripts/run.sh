#!/usr/bin/env bash
# Installs what is missing, builds Tavrel and starts the window.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh run
cmake -S . -B build-run -DCMAKE_BUILD_TYPE=Release -DTAVREL_BUILD_TESTS=OFF >/dev/null
cmake --build build-run -j"$(nproc)"
if [[ -x build-run/ui/tavrel ]]; then
  exec build-run/ui/tavrel
fi
echo "Built build-run/cli/tavrel-cli (the window is not part of this build)."
