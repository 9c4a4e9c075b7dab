#!/usr/bin/env python3
"""Draws the program's small button pictures and its icon as PNG files.

Run from the repository root: python3 scripts/make_icons.py
"""
import math
import struct
import zlib
from pathlib import Path

OUT = Path(__file__).resolve().parent.parent / "resources" / "icons"


def png(path, pixels):
    h = len(pixels)
    w = len(pixels[0])
    raw = b"".join(b"\x00" + b"".join(bytes(p) for p in row) for row in pixels)

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

    data = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 6, 0, 0, 0))
    data += chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")
    path.write_bytes(data)


def canvas(n):
    return [[(0, 0, 0, 0) for _ in range(n)] for _ in range(n)]


def rect(c, x0, y0, x1, y1, col):
    for y in range(y0, y1 + 1):
        for x in range(x0, x1 + 1):
            c[y][x] = col


def disc(c, cx, cy, r, col, ring=None):
    for y in range(len(c)):
        for x in range(len(c)):
            d = math.hypot(x - cx, y - cy)
            if ring is None and d <= r or ring is not None and r - ring <= d <= r:
                c[y][x] = col


def main():
    OUT.mkdir(parents=True, exist_ok=True)
    dark = (40, 40, 60, 255)

    lock = canvas(16)
    disc(lock, 7.5, 6, 4.5, dark, ring=1.6)
    rect(lock, 2, 7, 13, 14, (200, 150, 20, 255))
    rect(lock, 7, 9, 8, 12, dark)
    png(OUT / "lock.png", lock)

    stop = canvas(16)
    rect(stop, 3, 3, 12, 12, (200, 30, 30, 255))
    png(OUT / "stop.png", stop)

    scan = canvas(16)
    for i, h in enumerate([5, 9, 12, 7, 10]):
        rect(scan, 1 + i * 3, 15 - h, 2 + i * 3, 14, [(220, 0, 0, 255), (0, 0, 230, 255), (0, 128, 0, 255)][i % 3])
    png(OUT / "scan.png", scan)

    blind = canvas(16)
    disc(blind, 6, 6, 5, (30, 90, 200, 255), ring=1.8)
    for i in range(5):
        rect(blind, 9 + i, 9 + i, 10 + i if i < 4 else 14, 10 + i if i < 4 else 14, dark)
    png(OUT / "blind.png", blind)

    chart = canvas(16)
    rect(chart, 1, 1, 1, 14, dark)
    rect(chart, 1, 14, 14, 14, dark)
    for i, h in enumerate([6, 10, 4]):
        rect(chart, 4 + i * 4, 13 - h, 6 + i * 4, 13, [(220, 0, 0, 255), (0, 0, 230, 255), (0, 128, 0, 255)][i])
    png(OUT / "chart.png", chart)

    cancel = canvas(16)
    red = (200, 30, 30, 255)
    for i in range(11):
        rect(cancel, 2 + i, 2 + i, 3 + i, 3 + i, red)
        rect(cancel, 12 - i, 2 + i, 13 - i, 3 + i, red)
    png(OUT / "cancel.png", cancel)

    save = canvas(16)
    rect(save, 1, 1, 14, 14, (40, 70, 150, 255))
    rect(save, 4, 1, 11, 6, (230, 230, 240, 255))
    rect(save, 3, 9, 12, 14, (250, 250, 250, 255))
    rect(save, 9, 2, 10, 5, (40, 70, 150, 255))
    png(OUT / "save.png", save)

    app = canvas(32)
    disc(app, 14, 14, 11, (230, 230, 240, 255))
    disc(app, 14, 14, 11, (60, 60, 90, 255), ring=1.5)
    for i in range(10):
        rect(app, 14 + i, 14 - i, 15 + i, 15 - i, (60, 60, 90, 255))
    disc(app, 25, 4, 3, (220, 40, 40, 255))
    rect(app, 12, 25, 16, 30, (60, 60, 90, 255))
    png(OUT / "orvanta.png", app)


if __name__ == "__main__":
    main()
