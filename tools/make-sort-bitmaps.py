#!/usr/bin/env python3
"""Draws the two header sort marks into res/sort_asc.bmp and res/sort_desc.bmp.

4-bit palette bitmaps: the background is RGB(192,192,192) and the mark
RGB(128,128,128), which LR_LOADMAP3DCOLORS maps to the button face and shadow
colours, so the marks blend into the header whatever the colour scheme.
"""
import pathlib
import struct

WIDTH, HEIGHT = 9, 8
FACE, SHADOW = 0, 1
PALETTE = [(192, 192, 192), (128, 128, 128)] + [(0, 0, 0)] * 14


def triangle(pointing_down):
    # Rows top to bottom; a 5-row triangle, 9 pixels at its base, centred.
    rows = [[FACE] * WIDTH for _ in range(HEIGHT)]
    for i in range(5):
        half = 4 - i if pointing_down else i
        y = 1 + i
        for x in range(4 - half, 4 + half + 1):
            rows[y][x] = SHADOW
    return rows


def bmp(rows):
    stride = ((WIDTH * 4 + 31) // 32) * 4
    pixels = b""
    for row in reversed(rows):  # bottom-up
        packed = bytearray()
        for x in range(0, WIDTH, 2):
            hi = row[x]
            lo = row[x + 1] if x + 1 < WIDTH else 0
            packed.append((hi << 4) | lo)
        pixels += bytes(packed).ljust(stride, b"\0")
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    info = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 4, 0, len(pixels), 2835, 2835, 16, 0)
    offset = 14 + len(info) + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    return header + info + palette + pixels


res = pathlib.Path(__file__).resolve().parent.parent / "res"
# Ascending shows the mark pointing down, as the themed header's HDF_SORTDOWN does.
(res / "sort_asc.bmp").write_bytes(bmp(triangle(pointing_down=True)))
(res / "sort_desc.bmp").write_bytes(bmp(triangle(pointing_down=False)))
