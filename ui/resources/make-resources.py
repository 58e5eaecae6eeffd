#!/usr/bin/env python3
"""Draws the pictures QueltImport ships in its resources: the window icon (icon.png, 32x32)
and the busy animation (busy.png, eight 24x24 frames side by side: a ring of dots whose
bright dot walks round clockwise). Standard library only; deterministic. Run it from anywhere."""

import math
import pathlib
import struct
import zlib

HERE = pathlib.Path(__file__).resolve().parent


def png(width: int, height: int, pixels: list) -> bytes:
    """An 8-bit RGBA PNG of `pixels`, rows of (r, g, b, a) tuples."""
    def chunk(kind: bytes, data: bytes) -> bytes:
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    raw = b"".join(b"\0" + bytes(v for p in row for v in p) for row in pixels)
    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def disc_coverage(px: float, py: float, cx: float, cy: float, radius: float) -> float:
    """Share of the pixel at (px, py) inside the disc, by 4x4 supersampling."""
    inside = 0
    for sy in range(4):
        for sx in range(4):
            dx = px + (sx + 0.5) / 4 - cx
            dy = py + (sy + 0.5) / 4 - cy
            inside += dx * dx + dy * dy <= radius * radius
    return inside / 16


def busy_strip(frames: int = 8, size: int = 24) -> bytes:
    rows = [[(0, 0, 0, 0)] * (frames * size) for _ in range(size)]
    centre = size / 2
    for frame in range(frames):
        for dot in range(frames):
            angle = 2 * math.pi * dot / frames - math.pi / 2
            cx = centre + 8 * math.cos(angle)
            cy = centre + 8 * math.sin(angle)
            age = (frame - dot) % frames  # 0: the bright dot, then fading behind it
            shade = 40 + 25 * age
            alpha = max(60, 255 - 28 * age)
            for y in range(size):
                for x in range(size):
                    cover = disc_coverage(x, y, cx, cy, 2.6)
                    if cover:
                        rows[y][frame * size + x] = (shade, shade, min(255, shade + 90),
                                                     round(alpha * cover))
    return png(frames * size, size, rows)


def icon(size: int = 32) -> bytes:
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            page = 4 <= x < 28 and 2 <= y < 30
            fold = x - 20 > y - 2 and page  # a page with its top right corner folded
            line = page and not fold and 8 <= x < 24 and y in (10, 14, 18, 22)
            if not page or fold:
                row.append((0, 0, 0, 0) if not page else (150, 170, 210, 255))
            elif line:
                row.append((40, 60, 160, 255))
            else:
                row.append((245, 245, 235, 255))
        rows.append(row)
    return png(size, size, rows)


def main() -> None:
    (HERE / "busy.png").write_bytes(busy_strip())
    (HERE / "icon.png").write_bytes(icon())


if __name__ == "__main__":
    main()
