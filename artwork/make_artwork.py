#!/usr/bin/env python3
"""Draws the Sonarel logo and writes the program icon and the logo picture.

    make_artwork.py OUT_DIR   ->  OUT_DIR/sonarel.ico, OUT_DIR/Sonarel128.png

The artwork is described here as geometry: a rounded tile with a vertical
green-to-cyan gradient (the indicator's default colours), a white speaker and
three sound waves. Icon images of 16, 32, 64 and 128 pixels, each at 8 and 32
bits per pixel; the 128-pixel 32-bit image is stored as PNG, as Vista and
later read it (XP never asks for that size). Standard library only.
"""
import math
import struct
import sys
import zlib

TOP = (128, 255, 0)
BOTTOM = (0, 200, 230)
INK = (255, 255, 255)
OUTLINE = (20, 60, 70)


def inside_rounded_square(x, y, radius):
    r = radius
    cx = min(max(x, r), 1 - r)
    cy = min(max(y, r), 1 - r)
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r and 0 <= x <= 1 and 0 <= y <= 1


def inside_polygon(x, y, points):
    inside = False
    j = len(points) - 1
    for i, (xi, yi) in enumerate(points):
        xj, yj = points[j]
        if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
            inside = not inside
        j = i
    return inside


SPEAKER = [(0.18, 0.40), (0.32, 0.40), (0.50, 0.24), (0.50, 0.76), (0.32, 0.60), (0.18, 0.60)]


def sample(x, y):
    """Colour and coverage (0..1) of one point of the unit square."""
    if not inside_rounded_square(x, y, 0.2):
        return None
    if inside_polygon(x, y, SPEAKER):
        return INK
    dx, dy = x - 0.50, y - 0.50
    dist = math.hypot(dx, dy)
    if dx > 0 and abs(math.atan2(dy, dx)) < 0.8:
        for radius in (0.14, 0.24, 0.34):
            if abs(dist - radius) < 0.035:
                return INK
    # Frame: a thin darker edge so the tile reads on light backgrounds.
    if not inside_rounded_square((x - 0.04) / 0.92, (y - 0.04) / 0.92, 0.18):
        return OUTLINE
    t = y
    return tuple(round(a + (b - a) * t) for a, b in zip(TOP, BOTTOM))


def render(size, supersample=4):
    """RGBA rows, top to bottom."""
    rows = []
    n = supersample
    for py in range(size):
        row = []
        for px in range(size):
            r = g = b = a = 0
            for sy in range(n):
                for sx in range(n):
                    c = sample((px + (sx + 0.5) / n) / size, (py + (sy + 0.5) / n) / size)
                    if c is not None:
                        r += c[0]; g += c[1]; b += c[2]; a += 1
            if a:
                row.append((r // a, g // a, b // a, round(255 * a / (n * n))))
            else:
                row.append((0, 0, 0, 0))
        rows.append(row)
    return rows


def png(rows):
    size = len(rows)
    raw = b"".join(b"\0" + bytes(v for px in row for v in px) for row in rows)

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def and_mask(rows):
    size = len(rows)
    stride = ((size + 31) // 32) * 4
    out = b""
    for row in reversed(rows):
        bits = bytearray(stride)
        for x, px in enumerate(row):
            if px[3] < 128:
                bits[x // 8] |= 0x80 >> (x % 8)
        out += bytes(bits)
    return out


# 6x6x6 colour cube plus 40 greys: a fixed palette for the 8-bit images.
PALETTE = [(r * 51, g * 51, b * 51) for r in range(6) for g in range(6) for b in range(6)]
PALETTE += [(round(i * 255 / 39),) * 3 for i in range(40)]


def nearest(c):
    return min(range(256), key=lambda i: sum((p - q) ** 2 for p, q in zip(PALETTE[i], c)))


def dib_32(rows):
    size = len(rows)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = b"".join(bytes((px[2], px[1], px[0], px[3])) for row in reversed(rows) for px in row)
    return header + pixels + and_mask(rows)


def dib_8(rows):
    size = len(rows)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 8, 0, 0, 0, 0, 256, 0)
    palette = b"".join(bytes((b, g, r, 0)) for r, g, b in PALETTE)
    cache = {}
    pixels = b""
    stride = (size + 3) // 4 * 4
    for row in reversed(rows):
        line = bytearray(stride)
        for x, px in enumerate(row):
            key = px[:3] if px[3] >= 128 else (0, 0, 0)
            if key not in cache:
                cache[key] = nearest(key)
            line[x] = cache[key]
        pixels += bytes(line)
    return header + palette + pixels + and_mask(rows)


def ico(images):
    """images: (size, bits, dib) tuples."""
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    body = b""
    for size, bits, dib in images:
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, bits, len(dib), offset)
        offset += len(dib)
        body += dib
    return out + body


def main():
    out_dir = sys.argv[1]
    images = []
    rendered = {}
    for size in (16, 32, 64, 128):
        rendered[size] = render(size, 4 if size > 32 else 8)
        images.append((size, 8, dib_8(rendered[size])))
        images.append((size, 32, png(rendered[size]) if size == 128 else dib_32(rendered[size])))
    with open(f"{out_dir}/sonarel.ico", "wb") as f:
        f.write(ico(images))
    with open(f"{out_dir}/Sonarel128.png", "wb") as f:
        f.write(png(rendered[128]))


if __name__ == "__main__":
    main()
