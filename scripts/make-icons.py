#!/usr/bin/env python3
"""Draws the icons of the settings sheet and the bookmark dialogs as 4-bit .ico files.

    python3 scripts/make-icons.py engine/resources

The icons were made once with this script and are kept in the repository; run it again only to
change them. Each file holds the picture at 16 x 16 and, doubled, at 32 x 32 pixels, 16 colours
with a transparency mask, as the list views' image lists take them.

  bookmark_empty.ico     100  an empty slot: a ribbon drawn in outline
  bookmark_readonly.ico  101  a read-only bookmark: a grey ribbon with a padlock
  bookmark_blue.ico      138  the marks: a blue, a yellow and a red ribbon
  bookmark_yellow.ico    140
  bookmark_red.ico       141
  plugin.ico             102  a plug-in (an electric plug)
  plugin_effect.ico      103  a plug-in of transitions, effects and filters ("00ME"): a sparkle
  plugin_procedure.ico   104  a plug-in of user procedures ("00MP"): a cog wheel
"""
import math
import os
import struct
import sys

# The standard 16-colour palette, as (blue, green, red) in the order Windows uses.
PALETTE = [
    (0x00, 0x00, 0x00), (0x00, 0x00, 0x80), (0x00, 0x80, 0x00), (0x00, 0x80, 0x80),
    (0x80, 0x00, 0x00), (0x80, 0x00, 0x80), (0x80, 0x80, 0x00), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0x00, 0x00, 0xFF), (0x00, 0xFF, 0x00), (0x00, 0xFF, 0xFF),
    (0xFF, 0x00, 0x00), (0xFF, 0x00, 0xFF), (0xFF, 0xFF, 0x00), (0xFF, 0xFF, 0xFF),
]
# Letters of the pictures: '.' is transparent.
COLOURS = {
    'k': 0, 'r': 1, 'g': 2, 'y': 3, 'b': 4, 'm': 5, 'c': 6, 's': 7,
    'd': 8, 'R': 9, 'G': 10, 'Y': 11, 'B': 12, 'M': 13, 'C': 14, 'w': 15,
}

RIBBON = [
    "................",
    "....oooooooo....",
    "....oHFFFFFo....",
    "....oHFFFFFo....",
    "....oHFFFFFo....",
    "....oHFFFFFo....",
    "....oHFFFFFo....",
    "....oHFFFFFo....",
    "....oHFFFFFo....",
    "....oHFFFFFo....",
    "....oHFFFFFo....",
    "....oHFFFFFo....",
    "....oHFooFFo....",
    "....oFo..oFo....",
    "....oo....oo....",
    "................",
]

PADLOCK = [  # drawn over the ribbon's lower right corner, from row 8, column 9
    "..kkk..",
    ".k...k.",
    ".k...k.",
    "kkkkkkk",
    "kYYYYYk",
    "kYYkYYk",
    "kYYYYYk",
    "kkkkkkk",
]

PLUG = [
    "................",
    ".....k....k.....",
    ".....k....k.....",
    ".....k....k.....",
    "...kkkkkkkkkk...",
    "...kwssssssdk...",
    "...kwssssssdk...",
    "...kwssssssdk...",
    "...kwssssssdk...",
    "....kwssssdk....",
    ".....kwssdk.....",
    "......kddk......",
    ".......kk.......",
    ".......kk.......",
    "........kk......",
    ".........kk.....",
]

SPARKLE = [
    "................",
    ".......M........",
    ".......M........",
    "......MwM.......",
    "......MwM.......",
    ".....MwwwM......",
    "..MMMwwwwwMMM...",
    "MMwwwwwwwwwwwMM.",
    "..MMMwwwwwMMM...",
    ".....MwwwM......",
    "......MwM.......",
    "......MwM.......",
    ".......M....Y...",
    ".......M...YwY..",
    "............Y...",
    "................",
]


def ribbon(outline, highlight, fill):
    table = {'o': outline, 'H': highlight, 'F': fill}
    return ["".join(table.get(c, c) for c in row) for row in RIBBON]


def with_padlock(picture):
    rows = [list(row) for row in picture]
    for dy, line in enumerate(PADLOCK):
        for dx, c in enumerate(line):
            if c != '.':
                rows[8 + dy][9 + dx] = c
    return ["".join(row) for row in rows]


def cog():
    rows = []
    for y in range(16):
        row = ""
        for x in range(16):
            dx, dy = x - 7.5, y - 7.5
            r = math.hypot(dx, dy)
            angle = math.atan2(dy, dx)
            tooth = math.cos(8 * angle) > 0.3
            outer = 7.4 if tooth else 5.6
            if r > outer or r < 1.8:
                row += "."
            elif r > outer - 1.1 or r < 2.9:
                row += "k"
            else:
                row += "G" if (dx + dy) < 0 else "g"
        rows.append(row)
    return rows


ICONS = {
    "bookmark_empty.ico": ribbon('d', 'w', 'w'),
    "bookmark_readonly.ico": with_padlock(ribbon('k', 'w', 's')),
    "bookmark_blue.ico": ribbon('k', 'C', 'B'),
    "bookmark_yellow.ico": ribbon('k', 'w', 'Y'),
    "bookmark_red.ico": ribbon('k', 'w', 'R'),
    "plugin.ico": PLUG,
    "plugin_effect.ico": SPARKLE,
    "plugin_procedure.ico": cog(),
}


def image(picture, scale):
    size = 16 * scale
    pixels = [[picture[y // scale][x // scale] for x in range(size)] for y in range(size)]
    header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for (b, g, r) in PALETTE)
    xor_rows, and_rows = [], []
    for y in reversed(range(size)):  # bottom row first
        nibbles = [COLOURS.get(c, 0) for c in pixels[y]]
        line = bytes((nibbles[i] << 4) | nibbles[i + 1] for i in range(0, size, 2))
        xor_rows.append(line + b"\0" * (-len(line) % 4))
        bits = 0
        mask = bytearray()
        for x, c in enumerate(pixels[y]):
            bits = (bits << 1) | (1 if c == '.' else 0)
            if x % 8 == 7:
                mask.append(bits)
                bits = 0
        and_rows.append(bytes(mask) + b"\0" * (-len(mask) % 4))
    return header + palette + b"".join(xor_rows) + b"".join(and_rows)


def icon_file(picture):
    for row in picture:
        assert len(row) == 16 and all(c == '.' or c in COLOURS for c in row), row
    assert len(picture) == 16
    images = [image(picture, 1), image(picture, 2)]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for scale, data in zip((1, 2), images):
        size = 16 * scale
        out += struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(data), offset)
        offset += len(data)
    return out + b"".join(images)


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else "engine/resources"
    for name, picture in ICONS.items():
        with open(os.path.join(folder, name), "wb") as f:
            f.write(icon_file(picture))


if __name__ == "__main__":
    main()
