#!/usr/bin/env python3
"""Draws the wizard's three status pictures into res/images/.

Each picture is a 512 x 512 RGBA PNG: a white symbol on a disc with a soft vertical gradient, the
corners fully transparent so the page background shows through. Shapes are described by signed
distance functions, which gives exact anti-aliased edges and soft shadows without an image library.

Run from anywhere: python3 scripts/make_images.py
"""

import math
import os
import struct
import zlib

SIZE = 512
CENTRE = SIZE / 2
DISC_RADIUS = 246.0
SHADOW_OFFSET = 7.0  # the symbol's shadow falls a little below it
SHADOW_SOFTNESS = 9.0
SHADOW_STRENGTH = 0.28


# --- signed distances (negative inside), in pixels ------------------------------------------------


def circle(px, py, cx, cy, radius):
    return math.hypot(px - cx, py - cy) - radius


def capsule(px, py, ax, ay, bx, by, radius):
    """A segment from a to b thickened by radius, with round ends."""
    dx, dy = bx - ax, by - ay
    t = ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)
    t = min(1.0, max(0.0, t))
    return math.hypot(px - ax - t * dx, py - ay - t * dy) - radius


def polygon(px, py, points):
    """Distance to a simple polygon given by its corners."""
    best = float("inf")
    inside = False
    count = len(points)
    for i in range(count):
        ax, ay = points[i]
        bx, by = points[i - 1]
        ex, ey = bx - ax, by - ay
        wx, wy = px - ax, py - ay
        t = min(1.0, max(0.0, (wx * ex + wy * ey) / (ex * ex + ey * ey)))
        best = min(best, math.hypot(wx - ex * t, wy - ey * t))
        if (ay > py) != (by > py) and px < ax + (py - ay) * ex / ey:
            inside = not inside
    return -best if inside else best


def stroke(px, py, points, radius):
    """A polyline with round joins and ends."""
    return min(
        capsule(px, py, *points[i], *points[i + 1], radius) for i in range(len(points) - 1)
    )


# --- the three symbols -----------------------------------------------------------------------------


def download_symbol(px, py):
    shaft = capsule(px, py, 256, 118, 256, 250, 27)
    # The head is inset and then grown back by the same amount so its corners come out rounded.
    head = polygon(px, py, [(176, 226), (336, 226), (256, 312)]) - 10
    tray = stroke(px, py, [(142, 300), (142, 372), (370, 372), (370, 300)], 24)
    return min(shaft, head, tray)


def check_symbol(px, py):
    return stroke(px, py, [(146, 270), (224, 346), (370, 188)], 32)


def cross_symbol(px, py):
    return min(capsule(px, py, 172, 172, 340, 340, 32), capsule(px, py, 340, 172, 172, 340, 32))


PICTURES = {
    "download.png": (download_symbol, (79, 172, 254), (18, 92, 196)),
    "finish.png": (check_symbol, (110, 206, 112), (38, 142, 60)),
    "error.png": (cross_symbol, (242, 96, 90), (190, 34, 38)),
}


# --- painting --------------------------------------------------------------------------------------


def coverage(distance):
    """How much of a pixel a shape covers, from its distance at the pixel centre."""
    return min(1.0, max(0.0, 0.5 - distance))


def soft_coverage(distance, softness):
    t = min(1.0, max(0.0, 0.5 - distance / (2.0 * softness)))
    return t * t * (3.0 - 2.0 * t)


def mix(a, b, t):
    return a + (b - a) * t


def render(symbol, top, bottom):
    """Returns the picture as rows of straight (not premultiplied) RGBA bytes."""
    rows = []
    for y in range(SIZE):
        row = bytearray(SIZE * 4)
        py = y + 0.5
        for x in range(SIZE):
            px = x + 0.5
            disc = coverage(circle(px, py, CENTRE, CENTRE, DISC_RADIUS))
            if disc <= 0.0:
                continue
            # Vertical gradient, slightly lighter towards the upper left so the disc reads as lit.
            t = min(1.0, max(0.0, (py - 10) / (SIZE - 20) * 0.85 + (px / SIZE) * 0.15))
            colour = [mix(top[c], bottom[c], t) for c in range(3)]
            shadow = soft_coverage(symbol(px, py - SHADOW_OFFSET), SHADOW_SOFTNESS) * SHADOW_STRENGTH
            colour = [c * (1.0 - shadow) for c in colour]
            glyph = coverage(symbol(px, py))
            colour = [mix(c, 255.0, glyph) for c in colour]
            offset = x * 4
            row[offset:offset + 4] = bytes(
                [int(round(colour[0])), int(round(colour[1])), int(round(colour[2])), int(round(disc * 255))]
            )
        rows.append(bytes(row))
    return rows


# --- PNG encoding ----------------------------------------------------------------------------------


def paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    if pa <= pb and pa <= pc:
        return a
    return b if pb <= pc else c


def filter_row(row, previous, bpp=4):
    """Picks the PNG filter that leaves the smallest residuals, as most encoders do."""
    candidates = []
    n = len(row)
    sub = bytes((row[i] - (row[i - bpp] if i >= bpp else 0)) & 0xFF for i in range(n))
    up = bytes((row[i] - previous[i]) & 0xFF for i in range(n))
    average = bytes(
        (row[i] - (((row[i - bpp] if i >= bpp else 0) + previous[i]) >> 1)) & 0xFF for i in range(n)
    )
    paeth_row = bytes(
        (row[i] - paeth(row[i - bpp] if i >= bpp else 0, previous[i], previous[i - bpp] if i >= bpp else 0)) & 0xFF
        for i in range(n)
    )
    for kind, data in enumerate((row, sub, up, average, paeth_row)):
        cost = sum(v if v < 128 else 256 - v for v in data)
        candidates.append((cost, kind, data))
    _, kind, data = min(candidates)
    return bytes([kind]) + data


def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def encode_png(rows):
    header = struct.pack(">IIBBBBB", SIZE, SIZE, 8, 6, 0, 0, 0)  # 8 bits, RGBA, no interlace
    previous = bytes(SIZE * 4)
    raw = bytearray()
    for row in rows:
        raw += filter_row(row, previous)
        previous = row
    return (
        b"\x89PNG\r\n\x1a\n"
        + chunk(b"IHDR", header)
        + chunk(b"IDAT", zlib.compress(bytes(raw), 9))
        + chunk(b"IEND", b"")
    )


def main():
    out_dir = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "res", "images")
    os.makedirs(out_dir, exist_ok=True)
    for name, (symbol, top, bottom) in PICTURES.items():
        data = encode_png(render(symbol, top, bottom))
        path = os.path.normpath(os.path.join(out_dir, name))
        with open(path, "wb") as file:
            file.write(data)
        print(f"{path}: {len(data)} bytes")


if __name__ == "__main__":
    main()
