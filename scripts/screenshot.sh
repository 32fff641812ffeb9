#!/usr/bin/env bash
# Makes docs/screenshot.png from the real window on the offscreen platform: the correction mode with an input and a
# time shift typed in, at scale 2 (the README shows it at half its width). With --all it writes every mode, the
# detailed shift and the About box at scales 1 and 2 into FOLDER instead (default build-run/screenshots), to look at.
# Usage: scripts/screenshot.sh [--all [FOLDER]]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh run
cmake -S . -B build-run -DCMAKE_BUILD_TYPE=Release -DTAVREL_BUILD_TESTS=OFF >/dev/null
cmake --build build-run -j"$(nproc)" --target tavrel-screenshot >/dev/null
shot=build-run/tools/tavrel-screenshot
typed=(--input /home/user/비디오/movie.srt --offset -1500)
export QT_QPA_PLATFORM=offscreen

if [[ "${1:-}" != --all ]]; then
  "$shot" --scale 2 "${typed[@]}" docs/screenshot.png
  echo docs/screenshot.png
  exit 0
fi
folder="${2:-build-run/screenshots}"
mkdir -p "$folder"
for scale in 1 2; do
  for mode in correct convert extract merge detailed; do
    "$shot" --mode "$mode" --scale "$scale" "${typed[@]}" "$folder/$mode-$scale.png"
  done
  "$shot" --about --scale "$scale" "$folder/about-$scale.png"
done
ls "$folder"/*.png
