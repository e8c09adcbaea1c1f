#!/usr/bin/env python3
"""Makes the benchmark inputs, deterministically (fixed seeds): three synthetic MIDlet-like jars and
copies of real jars Debian ships.

usage: make_corpus.py OUTDIR
"""
import os
import random
import shutil
import struct
import sys
import zipfile

CANVAS = b"javax/microedition/lcdui/Canvas"


def class_bytes(rng, name, uses_canvas, size):
    """A class-file-like blob: magic, version, constant-pool-like strings, compressible filler."""
    out = bytearray(b"\xca\xfe\xba\xbe\x00\x00\x00\x30")
    names = [name.encode(), b"java/lang/Object", b"()V", b"Code", b"LineNumberTable"]
    if uses_canvas:
        names += [CANVAS, b"(L" + CANVAS + b";)V"]
    words = [b"paint", b"keyPressed", b"Graphics", b"setColor", b"fillRect", b"drawString", b"getWidth",
             b"getHeight", b"repaint", b"run", b"Thread", b"sleep", b"StringBuffer", b"append", b"toString"]
    for n in names:
        out += b"\x01" + struct.pack(">H", len(n)) + n
    while len(out) < size:
        w = rng.choice(words)
        out += b"\x01" + struct.pack(">H", len(w)) + w
        out += bytes(rng.randrange(0, 40) for _ in range(rng.randrange(2, 12)))
    return bytes(out[:size])


def write_jar(path, entries):
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED, compresslevel=6) as z:
        for name, data in entries:
            z.writestr(name, data)


def game_jar(path):
    rng = random.Random(1)
    entries = [("META-INF/MANIFEST.MF", b"Manifest-Version: 1.0\r\nMIDlet-1: Game, /icon.png, game.Main\r\n")]
    for i in range(60):
        entries.append((f"game/C{i:02d}.class", class_bytes(rng, f"game/C{i:02d}", i % 5 == 0, rng.randrange(2000, 9000))))
    for i in range(30):
        entries.append((f"res/img{i:02d}.png", rng.randbytes(rng.randrange(4000, 14000))))
    write_jar(path, entries)


def many_classes_jar(path):
    rng = random.Random(2)
    entries = [("META-INF/MANIFEST.MF", b"Manifest-Version: 1.0\r\n")]
    for i in range(5000):
        pkg = f"org/big/p{i % 17}/q{i % 7}"
        entries.append((f"{pkg}/K{i:04d}.class", class_bytes(rng, f"{pkg}/K{i:04d}", i % 9 == 0, rng.randrange(2500, 7500))))
    write_jar(path, entries)


def large_entry_jar(path):
    rng = random.Random(3)
    words = [b"canvas", b"screen", b"motorola", b"level", b"score", b"sprite", b"tile", b"\n", b" ", b"1234"]
    text = bytearray()
    while len(text) < 64 << 20:
        text += b" ".join(rng.choice(words) for _ in range(64)) + b"\n"
    entries = [("data/text.txt", bytes(text[:64 << 20])), ("data/random.bin", rng.randbytes(32 << 20))]
    for i in range(200):
        entries.append((f"app/L{i:03d}.class", class_bytes(rng, f"app/L{i:03d}", i % 4 == 0, rng.randrange(2000, 8000))))
    write_jar(path, entries)


def debian_jars(out):
    """Real jars from Debian packages, when installed (bootstrap installs them)."""
    for jar in ("/usr/share/java/commons-lang3.jar", "/usr/share/java/guava.jar"):
        if os.path.exists(jar):
            shutil.copyfile(os.path.realpath(jar), os.path.join(out, "real-" + os.path.basename(jar)))


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    makers = {"game.jar": game_jar, "classes5000.jar": many_classes_jar, "large.jar": large_entry_jar}
    for name, make in makers.items():
        path = os.path.join(out, name)
        if not os.path.exists(path):
            make(path)
    debian_jars(out)


if __name__ == "__main__":
    main()
