#!/usr/bin/env python3
"""Draws the updater's icon, a white downward arrow on a blue disc, as a 16x16 and a
32x32 image of 256 colours each, and writes them as one .ico file."""
import struct
import sys
from pathlib import Path

TRANSPARENT, OUTLINE, DISC, ARROW = 0, 1, 2, 3


def palette():
    colours = [(0, 0, 0), (20, 50, 120), (40, 110, 210), (255, 255, 255)]
    # The rest of the 256 entries: a grey ramp, so the table is a full one.
    colours += [(i, i, i) for i in range(4, 256)]
    return b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in colours)


def pixel(size, x, y):
    """Colour index of the pixel at column x, row y (row 0 at the top)."""
    centre = (size - 1) / 2
    radius = size / 2 - 0.5
    distance = ((x - centre) ** 2 + (y - centre) ** 2) ** 0.5
    if distance > radius:
        return TRANSPARENT
    unit = size / 16
    shaft = abs(x - centre) <= 1.0 * unit and 3 * unit <= y <= 8.5 * unit
    head_top, head_bottom = 7 * unit, 12.5 * unit
    head = head_top <= y <= head_bottom and abs(x - centre) <= (head_bottom - y) * 0.9
    if shaft or head:
        return ARROW
    return OUTLINE if distance > radius - unit else DISC


def image(size):
    rows = [[pixel(size, x, y) for x in range(size)] for y in range(size)]
    colour = b"".join(bytes(row) for row in reversed(rows))  # bottom-up
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for x, index in enumerate(row):
            if index == TRANSPARENT:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, 8, 0,
                         len(colour) + len(mask), 0, 0, 256, 0)
    return header + palette() + colour + bytes(mask)


def icon(sizes):
    images = [image(size) for size in sizes]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 8, len(data), offset)
        offset += len(data)
    return out + b"".join(images)


if __name__ == "__main__":
    target = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).with_name("norvadel.ico")
    target.write_bytes(icon([16, 32]))
