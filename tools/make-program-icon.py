#!/usr/bin/env python3
"""Draws the program icon, res/program.ico: a motor circuit in one line (a
supply wire, an open contact, the motor circle with its M) in white and
yellow on a dark blue tile, at 16, 32 and 48 pixels.

Plain Python, no imaging library: every pixel is the coverage of the shapes,
sampled 4 x 4 times, and the file is written as an ICO of 32-bit bitmaps.
Run it again after changing the drawing and commit the .ico with it.
"""
import math
import struct
import sys

NAVY = (0x1F, 0x3A, 0x6B)
WHITE = (0xFF, 0xFF, 0xFF)
YELLOW = (0xFF, 0xD2, 0x3C)


def seg_dist(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)))
    return math.hypot(px - (ax + t * dx), py - (ay + t * dy))


def tile(x, y):
    """Inside the rounded square of the background."""
    m, r = 0.04, 0.16
    cx = min(max(x, m + r), 1 - m - r)
    cy = min(max(y, m + r), 1 - m - r)
    return math.hypot(x - cx, y - cy) <= r


# (colour, half width, list of segments) — the strokes of the drawing.
STROKES = [
    (WHITE, 0.045, [(0.5, 0.10, 0.5, 0.30), (0.5, 0.42, 0.5, 0.52), (0.5, 0.42, 0.38, 0.29)]),
    (YELLOW, 0.032, [(0.41, 0.79, 0.41, 0.62), (0.41, 0.62, 0.5, 0.73), (0.5, 0.73, 0.59, 0.62),
                    (0.59, 0.62, 0.59, 0.79)]),
]
MOTOR = (0.5, 0.70, 0.2, 0.04)  # centre, radius, half width of the ring


def colour_at(x, y):
    if not tile(x, y):
        return None
    for colour, half, segs in STROKES:
        if any(seg_dist(x, y, *s) <= half for s in segs):
            return colour
    cx, cy, r, half = MOTOR
    if abs(math.hypot(x - cx, y - cy) - r) <= half:
        return WHITE
    return NAVY


def render(size, samples=4):
    pixels = []  # rows from the top, (r, g, b, a)
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0.0, 0.0, 0.0]
            hits = 0
            for sy in range(samples):
                for sx in range(samples):
                    c = colour_at((px + (sx + 0.5) / samples) / size, (py + (sy + 0.5) / samples) / size)
                    if c:
                        hits += 1
                        for i in range(3):
                            acc[i] += c[i]
            if hits:
                row.append(tuple(round(a / hits) for a in acc) + (round(255 * hits / samples ** 2),))
            else:
                row.append((0, 0, 0, 0))
        pixels.append(row)
    return pixels


def ico_image(size):
    pixels = render(size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = b"".join(bytes((b, g, r, a)) for row in reversed(pixels) for (r, g, b, a) in row)
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(pixels):
        bits = bytearray(mask_stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + xor + bytes(mask)


def main(out):
    sizes = [16, 32, 48]
    images = [ico_image(s) for s in sizes]
    data = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for s, img in zip(sizes, images):
        data += struct.pack("<BBBBHHII", s % 256, s % 256, 0, 0, 1, 32, len(img), offset)
        offset += len(img)
    with open(out, "wb") as f:
        f.write(data + b"".join(images))


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "res/program.ico")
