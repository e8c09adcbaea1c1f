#!/usr/bin/env bash
# Builds the sample MIDlet jar: the game compiled against the MIDP stand-in, packed with the JDK's jar.
# Usage: build-sample.sh OUTDIR  -> OUTDIR/snake.jar (and OUTDIR/midp.jar, the stand-in, for checks)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
out=$(mkdir -p "$1" && cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/midp" "$work/game"
javac -nowarn --release 8 -d "$work/midp" $(find "$here/midp" -name '*.java')
javac -nowarn --release 8 -cp "$work/midp" -d "$work/game" $(find "$here/game" -name '*.java')
cp -r "$here/game/res" "$work/game/"
# A tiny icon the manifest names (PNG bytes written here so no binary is kept in the repo).
printf '\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\0\x01\0\0\0\x01\x08\x06\0\0\0\x1f\x15\xc4\x89\0\0\0\rIDATx\x9cc\xf8\x0f\x00\x01\x01\x01\x00\x18\xdd\x8d\xb0\0\0\0\0IEND\xaeB`\x82' > "$work/game/res/icon.png"
(cd "$work/game" && jar cfm "$out/snake.jar" "$here/game/META-INF/MANIFEST.MF" com res)
(cd "$work/midp" && jar cf "$out/midp.jar" javax)
