#!/usr/bin/env bash
# Installs what is missing and builds the Debian package
# build-package/tavrel_<version>_amd64.deb from a Release build.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh package
cmake -S . -B build-package -DCMAKE_BUILD_TYPE=Release -DTAVREL_BUILD_TESTS=OFF >/dev/null
cmake --build build-package -j"$(nproc)"
# A package of an older version would be picked up by the checks.
rm -f build-package/tavrel_*.deb
(cd build-package && cpack -G DEB)
