#!/usr/bin/env python3
"""Writes the small PNG and icon files the control tests and the benchmark embed as resources.

Run from the repository root: python3 tools/make_test_images.py
The outputs are committed, so building does not need Python.
"""
import os
import struct
import zlib

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
TEST_DIR = os.path.join(ROOT, "tests", "controls", "images")
BENCH_DIR = os.path.join(ROOT, "bench", "images")


def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    return a if pa <= pb and pa <= pc else b if pb <= pc else c


def png(path, width, height, pixel, filters=(0,), level=9, strategy=zlib.Z_DEFAULT_STRATEGY,
        colour=6, extra=b"", split=False):
    """pixel(x, y) -> (r, g, b, a); writes an 8-bit RGBA PNG (RGB with colour=2). Row y uses
    filter filters[y % len(filters)]; the chunks in extra come before the data, which split
    puts in two IDAT chunks."""
    channels = 4 if colour == 6 else 3
    rows, above = bytearray(), bytes(width * channels)
    for y in range(height):
        row = bytes(v for x in range(width) for v in pixel(x, y)[:channels])
        kind = filters[y % len(filters)]
        rows.append(kind)
        for i, v in enumerate(row):
            a = row[i - channels] if i >= channels else 0
            c = above[i - channels] if i >= channels else 0
            rows.append((v - (0, a, above[i], (a + above[i]) // 2, paeth(a, above[i], c))[kind]) & 0xFF)
        above = row
    packer = zlib.compressobj(level, zlib.DEFLATED, 15, 8, strategy)
    stream = packer.compress(bytes(rows)) + packer.flush()

    data = b"\x89PNG\r\n\x1a\n"
    data += chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, colour, 0, 0, 0)) + extra
    parts = (stream[:len(stream) // 2], stream[len(stream) // 2:]) if split else (stream,)
    data += b"".join(chunk(b"IDAT", part) for part in parts)
    data += chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(data)


def noise(x, y):
    """Colours that change from pixel to pixel, mixed with runs, so every filter and every kind
    of compressed block has work to do."""
    n = (x * 73856093 ^ y * 19349663) & 0xFFFFFFFF
    if (x // 5 + y) % 3 == 0:
        return (x * 9 % 256, y * 7 % 256, 200, 255)
    return (n & 0xFF, (n >> 8) & 0xFF, (n >> 16) & 0xFF, 128 + (n >> 25))


def solid(rgba):
    return lambda x, y: rgba


def icon(path, sizes):
    """A classic DIB icon file, one 32-bit image per size, each a solid orange square."""
    images = []
    for s in sizes:
        header = struct.pack("<IiiHHIIiiII", 40, s, s * 2, 1, 32, 0, 0, 0, 0, 0, 0)
        xor = bytes([0x20, 0x80, 0xF0, 0xFF]) * (s * s)
        mask_row = ((s + 31) // 32) * 4
        images.append(header + xor + bytes(mask_row * s))
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for s, img in zip(sizes, images):
        out += struct.pack("<BBBBHHII", s % 256, s % 256, 0, 0, 1, 32, len(img), offset)
        offset += len(img)
    with open(path, "wb") as f:
        f.write(out + b"".join(images))


def main():
    os.makedirs(TEST_DIR, exist_ok=True)
    os.makedirs(BENCH_DIR, exist_ok=True)
    t = lambda name: os.path.join(TEST_DIR, name)
    png(t("red.png"), 20, 10, solid((255, 0, 0, 255)))
    png(t("green.png"), 20, 10, solid((0, 255, 0, 255)))
    png(t("blue.png"), 20, 10, solid((0, 0, 255, 255)))
    png(t("yellow.png"), 20, 10, solid((255, 255, 0, 255)))
    # Two frames side by side: cyan then magenta; the odd-width strip has one extra white column.
    png(t("strip82.png"), 82, 22, lambda x, y: (0, 255, 255, 255) if x < 41 else (255, 0, 255, 255))
    png(t("strip83.png"), 83, 22,
        lambda x, y: (0, 255, 255, 255) if x < 41 else (255, 0, 255, 255) if x < 82 else (255, 255, 255, 255))
    # 2 x 2 checker for stretching: edges show whether the stretch blends with the outside.
    png(t("checker.png"), 2, 2, lambda x, y: (255, 0, 0, 255) if (x + y) % 2 == 0 else (0, 0, 255, 255))
    # Half-transparent white, to see premultiplied alpha on layered surfaces.
    png(t("halfwhite.png"), 10, 10, solid((255, 255, 255, 128)))
    # Large enough that the memory a picture keeps shows beside everything else.
    png(t("large.png"), 1024, 512, solid((0, 128, 255, 255)))
    # The same pixels in every row filter, in stored, fixed-code and dynamic-code blocks, with
    # a text chunk; and once as RGB, a kind the program's own decoder leaves to GDI+.
    every = (0, 1, 2, 3, 4)
    png(t("stored.png"), 37, 23, noise, every, level=0, extra=chunk(b"tEXt", b"Comment\0test"),
        split=True)
    png(t("fixed.png"), 37, 23, noise, every, level=6, strategy=zlib.Z_FIXED)
    png(t("dynamic.png"), 37, 23, noise, every, level=9)
    png(t("rgb.png"), 37, 23, noise, every, colour=2)
    with open(t("broken.png"), "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\nthis is not a picture")
    icon(t("app.ico"), [16, 32, 48])

    b = lambda name: os.path.join(BENCH_DIR, name)
    png(b("backdrop.png"), 1154, 704,
        lambda x, y: (((x // 32) * 7) % 256, ((y // 32) * 11) % 256, 128, 255))
    png(b("button_normal.png"), 120, 40, lambda x, y: (40, 90, 160, 255 if 2 < x < 117 else 160))
    png(b("button_hover.png"), 120, 40, lambda x, y: (70, 130, 210, 255 if 2 < x < 117 else 160))
    png(b("button_pressed.png"), 120, 40, lambda x, y: (20, 60, 120, 255 if 2 < x < 117 else 160))


if __name__ == "__main__":
    main()
