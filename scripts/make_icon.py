#!/usr/bin/env python3
"""Makes res/tessary.ico, the program's icon, from the download picture of make_images.py.

Each icon size is the 512 x 512 picture scaled down by averaging (on premultiplied colours, so the
transparent edge does not darken) and stored as a PNG entry, which every system since Vista reads.
"""
import os
import struct
import zlib

import make_images

ICON_SIZES = (256, 48, 32, 16)


def scale_down(rows, size):
    factor = make_images.SIZE // size
    out = []
    for y in range(size):
        row = bytearray(size * 4)
        for x in range(size):
            r = g = b = a = 0
            for sy in range(y * factor, (y + 1) * factor):
                source = rows[sy]
                for sx in range(x * factor, (x + 1) * factor):
                    alpha = source[sx * 4 + 3]
                    r += source[sx * 4] * alpha
                    g += source[sx * 4 + 1] * alpha
                    b += source[sx * 4 + 2] * alpha
                    a += alpha
            if a:
                row[x * 4:x * 4 + 4] = bytes([r // a, g // a, b // a, a // (factor * factor)])
        out.append(bytes(row))
    return out


def encode_png(rows, size):
    raw = b"".join(b"\x00" + row for row in rows)
    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return (
        b"\x89PNG\r\n\x1a\n"
        + make_images.chunk(b"IHDR", header)
        + make_images.chunk(b"IDAT", zlib.compress(raw, 9))
        + make_images.chunk(b"IEND", b"")
    )


def main():
    symbol, top, bottom = make_images.PICTURES["download.png"]
    picture = make_images.render(symbol, top, bottom)
    images = [encode_png(scale_down(picture, size), size) for size in ICON_SIZES]
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries = b""
    for size, data in zip(ICON_SIZES, images):
        entries += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "res", "tessary.ico")
    with open(path, "wb") as file:
        file.write(directory + entries + b"".join(images))
    print(f"{os.path.normpath(path)}: {offset} bytes")


if __name__ == "__main__":
    main()
