#!/usr/bin/env bash
# Renders the application icon's PNG sizes from res/tavrel-icon.svg. The PNGs
# are checked in, so this runs only when the icon changes.
# Usage: scripts/render-icons.sh [SIZE...]   (default: 48 64 128)
# Needs rsvg-convert (Debian package librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")/.."

if ! command -v rsvg-convert >/dev/null; then
  echo "render-icons.sh: rsvg-convert is missing (apt-get install librsvg2-bin)" >&2
  exit 1
fi
sizes=("$@")
if ((${#sizes[@]} == 0)); then
  sizes=(48 64 128)
fi
for size in "${sizes[@]}"; do
  rsvg-convert --width "$size" --height "$size" --format png --output "res/icon-$size.png" res/tavrel-icon.svg
  echo "res/icon-$size.png"
done
