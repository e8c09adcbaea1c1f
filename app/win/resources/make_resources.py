#!/usr/bin/env python3
"""Writes the program's icon (grandvue.ico) and the WEB_HAND cursor (web_hand.cur) from the pictures below."""
import struct
import sys
from pathlib import Path

# The pointing hand: '#' black, '.' white, ' ' transparent; the fingertip is the hot spot (12, 6).
HAND = """
           ##
          #..#
          #..#
          #..#
          #..#
          #..#
          #..###
          #..#..###
          #..#..#..##
       ## #..#..#..#.#
      #..##........#..#
      #...#...........#
       #..............#
        #.............#
        #.............#
         #...........#
         #...........#
          #.........#
          #.........#
           #########
"""
HOT_SPOT = (12, 6)
SIZE = 32
# The 20 rows above start at row 5 so the fingertip sits at the hot spot.
TOP = 5

# The icon: a rounded panel in the windows' colours with a white phone screen.
BLUE, LIGHT, WHITE = (0x9B, 0x54, 0x0D), (0xF4, 0xEF, 0xE8), (0xFF, 0xFF, 0xFF)  # B, G, R


def hand_rows():
    lines = HAND.strip("\n").split("\n")
    rows = [" " * SIZE] * TOP + [line.ljust(SIZE) for line in lines]
    rows += [" " * SIZE] * (SIZE - len(rows))
    assert rows[HOT_SPOT[1]][HOT_SPOT[0]] in "#.", "hot spot off the hand"
    return rows


def pack_bits(bits):
    out = bytearray()
    for i in range(0, len(bits), 8):
        byte = 0
        for b in bits[i:i + 8]:
            byte = (byte << 1) | b
        out.append(byte)
    return bytes(out)


def cursor():
    rows = hand_rows()
    xor_rows, and_rows = [], []
    for row in reversed(rows):  # bitmaps are stored bottom-up
        xor_rows.append(pack_bits([1 if c == "." else 0 for c in row]))
        and_rows.append(pack_bits([1 if c == " " else 0 for c in row]))
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 1, 0, 0, 0, 0, 2, 0)
    palette = bytes([0, 0, 0, 0, 255, 255, 255, 0])
    image = header + palette + b"".join(xor_rows) + b"".join(and_rows)
    directory = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 2, 0, HOT_SPOT[0], HOT_SPOT[1], len(image), 6 + 16)
    return directory + entry + image


def icon():
    pixels = []
    for y in range(SIZE - 1, -1, -1):  # bottom-up
        for x in range(SIZE):
            inside = 2 <= x <= 29 and 2 <= y <= 29 and not ((x in (2, 29)) and (y in (2, 29)))
            screen = 10 <= x <= 21 and 6 <= y <= 17
            keys = 10 <= x <= 21 and 20 <= y <= 25 and (x - 10) % 4 != 3 and (y - 20) % 3 != 2
            colour = WHITE if screen else LIGHT if keys else BLUE
            pixels.append(bytes(colour) + (b"\xff" if inside else b"\x00"))
    and_mask = b"\x00" * (SIZE * SIZE // 8)
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    image = header + b"".join(pixels) + and_mask
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 32, len(image), 6 + 16)
    return directory + entry + image


def main():
    out = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).parent
    (out / "web_hand.cur").write_bytes(cursor())
    (out / "grandvue.ico").write_bytes(icon())


if __name__ == "__main__":
    main()
