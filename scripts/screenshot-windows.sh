#!/usr/bin/env bash
# Makes docs/screenshot-windows.png: the native Windows window in its four modes (correction, conversion, extraction,
# merge; left to right, top to bottom), cross-built and run under Wine on a virtual display.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh test

cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=Release \
  -DTAVREL_BUILD_UI=OFF >/dev/null
cmake --build build-win -j2 --target tavrel-win32-screenshot
source scripts/wine-prefix.sh

mkdir -p build-win/screenshots
bmp=build-win/screenshots/win32-modes.bmp
(cd build-win/screenshots && LC_ALL=ko_KR.UTF-8 xvfb-run -a -s "-screen 0 1280x1024x24" \
  "$wine_loader" ../tools/tavrel-win32-screenshot.exe win32-modes.bmp)
wineserver -k || true

# BMP (24-bit, bottom-up) to PNG with the standard library only.
python3 - "$bmp" docs/screenshot-windows.png <<'PY'
import struct, sys, zlib
data = open(sys.argv[1], "rb").read()
offset, = struct.unpack_from("<I", data, 10)
width, height = struct.unpack_from("<ii", data, 18)
stride = (width * 3 + 3) // 4 * 4
rows = []
for y in range(height - 1, -1, -1):
    row = data[offset + y * stride: offset + y * stride + width * 3]
    rows.append(b"\0" + bytes(row[i + 2 - 2 * (i % 3)] for i in range(len(row))))
def chunk(kind, body):
    return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))
png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
png += chunk(b"IDAT", zlib.compress(b"".join(rows), 9)) + chunk(b"IEND", b"")
open(sys.argv[2], "wb").write(png)
print(f"{sys.argv[2]}: {width} x {height}")
PY
