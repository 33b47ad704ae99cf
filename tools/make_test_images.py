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


def png(path, width, height, pixel):
    """pixel(x, y) -> (r, g, b, a); writes an 8-bit RGBA PNG."""
    rows = bytearray()
    for y in range(height):
        rows.append(0)
        for x in range(width):
            rows.extend(pixel(x, y))

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    data = b"\x89PNG\r\n\x1a\n"
    data += chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))
    data += chunk(b"IDAT", zlib.compress(bytes(rows), 9))
    data += chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(data)


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
