#!/usr/bin/env bash
# Seed corpora for the fuzz targets, made by the peer tools: archives from zip, 7z (Deflate and Deflate64),
# Python's zipfile and jar; raw Deflate64 and deflate streams cut out of them; mask pairs and settings files;
# class files assembled here (CLDC versions with a StackMap) and compiled by javac from the test games.
# Usage: fuzz/make-seeds.sh OUT_DIR
set -euo pipefail
out=$(realpath -m "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$out"/{classify,extract,deflate64,masks,settings,classfile}

# A small MIDlet-like tree: text that compresses, bytes that do not, an empty file, nested folders.
tree=$work/tree
mkdir -p "$tree/META-INF" "$tree/a/b" "$tree/empty"
printf 'Manifest-Version: 1.0\nMIDlet-1: Game, /icon.png, Game\n' >"$tree/META-INF/MANIFEST.MF"
for i in $(seq 1 40); do echo "line $i of a class that names javax/microedition/lcdui/Canvas"; done >"$tree/a/Main.class"
head -c 3000 /dev/urandom >"$tree/a/b/noise.bin"
: >"$tree/a/empty.txt"

archives=$work/archives
mkdir -p "$archives"
(cd "$tree" && zip -qr "$archives/zip-deflate.zip" . && zip -qr0 "$archives/zip-stored.zip" . &&
    zip -qr "$archives/zip-comment.jar" . -z <<<"an archive comment")
(cd "$tree" && 7z a -tzip -mm=Deflate64 "$archives/7z-deflate64.zip" . >/dev/null &&
    7z a -tzip -mm=Deflate "$archives/7z-deflate.zip" . >/dev/null)
if command -v jar >/dev/null; then (cd "$tree" && jar cfm "$archives/jar.jar" META-INF/MANIFEST.MF a); fi
python3 - "$tree" "$archives" <<'PY'
import os, sys, zipfile
tree, out = sys.argv[1], sys.argv[2]
for name, method in (("py-deflate.zip", zipfile.ZIP_DEFLATED), ("py-stored.zip", zipfile.ZIP_STORED)):
    with zipfile.ZipFile(os.path.join(out, name), "w", method) as z:
        for root, dirs, files in os.walk(tree):
            for f in sorted(files):
                path = os.path.join(root, f)
                z.write(path, os.path.relpath(path, tree))
PY
# A self-extractor shape: a stub in front, offsets adjusted by zip -A.
head -c 700 /dev/urandom >"$archives/sfx.exe"
cat "$archives/zip-deflate.zip" >>"$archives/sfx.exe"
zip -qA "$archives/sfx.exe" 2>/dev/null || true
for f in "$archives"/*; do cp "$f" "$out/classify/"; cp "$f" "$out/extract/"; done

# The raw data of every Deflate64 and deflate entry, each prefixed by the piece-size byte the target reads.
python3 - "$archives" "$out/deflate64" <<'PY'
import os, struct, sys
src, out = sys.argv[1], sys.argv[2]
n = 0
for name in ("7z-deflate64.zip", "7z-deflate.zip", "py-deflate.zip"):
    data = open(os.path.join(src, name), "rb").read()
    pos = 0
    while True:
        pos = data.find(b"PK\x03\x04", pos)
        if pos < 0:
            break
        method, = struct.unpack_from("<H", data, pos + 8)
        csize, = struct.unpack_from("<I", data, pos + 18)
        nlen, elen = struct.unpack_from("<HH", data, pos + 26)
        start = pos + 30 + nlen + elen
        if method in (8, 9) and csize:
            for piece in (b"\x00", b"\x1f"):
                n += 1
                open(os.path.join(out, "%s-%d" % (name, n)), "wb").write(piece + data[start:start + csize])
        pos += 4
PY

# Mask and name pairs: the pattern, a line feed, the name.
i=0
while IFS= read -r pair; do
    i=$((i + 1))
    printf '%b' "$pair" >"$out/masks/pair$i"
done <<'EOF_MASKS'
*.class\nA/Main.CLASS
*.*\nnoext
[a-c]*.png\nb1.png
[!a-c]?x\ndox
*a*a*a*b\naaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaac
[z-a\nz
META-INF/*\nmeta-inf/MANIFEST.MF
\xc8\xe3\xf0\xe0*\n\xc8\xe3\xf0\xe0.txt
EOF_MASKS

# Settings files as people write them, and damaged ones.
printf '[Grandvue]\r\nBackup=1\r\n' >"$out/settings/backup-on.ini"
printf '[grandvue]\nbackup = 0x10\n' >"$out/settings/hex-lower.ini"
printf '[Other]\nBackup=1\n[Grandvue]\nBackup=-2147483648\n' >"$out/settings/two-sections.ini"
printf '[Grandvue\nBackup=\n=1\n;comment\n' >"$out/settings/damaged.ini"

# Class files: a CLDC screen extending Canvas at each MIDP-era version, its constructor calling Canvas.<init>
# and a method whose StackMap names Canvas; then the test games and their stand-ins as javac builds them.
python3 - "$out/classfile" <<'PY'
import os, struct, sys
def u2(v): return struct.pack(">H", v)
def u4(v): return struct.pack(">I", v)
def utf8(s): return b"\x01" + u2(len(s)) + s.encode()
canvas = "javax/microedition/lcdui/Canvas"
pool = [utf8("games/Cldc"), b"\x07" + u2(1), utf8(canvas), b"\x07" + u2(3), utf8("<init>"), utf8("()V"),
        b"\x0c" + u2(5) + u2(6), b"\x0a" + u2(4) + u2(7), utf8("Code"), utf8("StackMap"), utf8("pick"),
        utf8("(L%s;)I" % canvas)]
def method(access, name, desc, code, stackmap):
    attrs = b""
    if stackmap:
        attrs = u2(10) + u4(len(stackmap)) + stackmap
    body = u2(2) + u2(2) + u4(len(code)) + code + u2(0) + u2(1 if stackmap else 0) + attrs
    return u2(access) + u2(name) + u2(desc) + u2(1) + u2(9) + u4(len(body)) + body
init = method(1, 5, 6, b"\x2a\xb7" + u2(8) + b"\xb1", b"")
pick = method(9, 11, 12, b"\x2a\xc7\x00\x05\x03\xac\x04\xac", u2(1) + u2(6) + u2(1) + b"\x07" + u2(4) + u2(0))
for major in (45, 46, 47, 48):
    data = (u4(0xCAFEBABE) + u2(0) + u2(major) + u2(len(pool) + 1) + b"".join(pool) + u2(0x21) + u2(2) + u2(4) +
            u2(0) + u2(0) + u2(2) + init + pick + u2(0))
    open(os.path.join(sys.argv[1], "cldc-%d.class" % major), "wb").write(data)
PY
if command -v javac >/dev/null; then
    games=$(cd "$(dirname "$0")/../tests/games" && pwd)
    bash "$games/build-games.sh" "$work/games" >/dev/null 2>&1
    (cd "$work/games" && for jar in *.jar; do unzip -qo "$jar" -d "$work/classes" '*.class'; done)
    find "$work/classes" -name '*.class' | while read -r f; do cp "$f" "$out/classfile/javac-$(basename "$f")"; done
    cp "$work/games/WideCv.class" "$out/classfile/javac-WideCv.class"
fi
