#!/usr/bin/env bash
# Renders the main window after a finished job and the About dialog on a virtual display, as docs/*.png.
# The pictures are taken by the main window's GUI test of the mingw tree (BUILD, default build-win), in
# the tree's Wine session, whose prefix maps Arial and Verdana to metric-compatible fonts.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${BUILD:-build-win}
cmake --build "$BUILD" --target main_window_gui_tests -j2
shots=$(mktemp -d)
trap 'bash cmake/wine-session.sh stop "$BUILD"; rm -rf "$shots"' EXIT
env -u DISPLAY bash cmake/wine-session.sh start "$BUILD"
export WINEPREFIX="$PWD/$BUILD/wineprefix" WINEDEBUG=-all DISPLAY=":$(head -n 1 "$BUILD/wine-session/display")"
GV_SCREENSHOTS=$(winepath -w "$shots") wine "$BUILD/tests/app/gui/main_window_gui_tests.exe" \
    --gtest_filter='*JarButton*'
mkdir -p docs
# 24-bit bottom-up BMP to PNG with the standard library only.
python3 - "$shots" docs <<'PY'
import struct, sys, zlib
from pathlib import Path
src, dst = Path(sys.argv[1]), Path(sys.argv[2])
for bmp in sorted(src.glob("*.bmp")):
    data = bmp.read_bytes()
    offset, = struct.unpack_from("<I", data, 10)
    width, height = struct.unpack_from("<ii", data, 18)
    stride = (width * 3 + 3) & ~3
    rows = []
    for y in range(height - 1, -1, -1):
        row = data[offset + y * stride: offset + y * stride + width * 3]
        rows.append(b"\0" + bytes(b for i in range(0, len(row), 3) for b in (row[i + 2], row[i + 1], row[i])))
    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))
    png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(b"".join(rows), 9)) + chunk(b"IEND", b"")
    (dst / (bmp.stem + ".png")).write_bytes(png)
    print(dst / (bmp.stem + ".png"))
PY
