#!/usr/bin/env python3
"""Draws the programs' icons and writes them as .ico files: make_icons.py OUTDIR.

runner.ico (both runners) and console.ico each hold seven images: 48, 32 and 16
pixels square with a 256-colour palette, and 256, 48, 32 and 16 pixels square
with 32-bit colour and alpha. The 256-pixel image is stored as PNG, the others
as device-independent bitmaps with their AND masks, as Windows reads icons.
"""
import math
import os
import struct
import sys
import zlib

IMAGES = [(48, 8), (32, 8), (16, 8), (256, 32), (48, 32), (32, 32), (16, 32)]


def box(x, y, x0, y0, x1, y1, radius):
    """Signed distance to a rounded rectangle (negative inside)."""
    cx, cy = (x0 + x1) / 2, (y0 + y1) / 2
    hx, hy = (x1 - x0) / 2 - radius, (y1 - y0) / 2 - radius
    dx, dy = abs(x - cx) - hx, abs(y - cy) - hy
    outside = math.hypot(max(dx, 0.0), max(dy, 0.0))
    return outside + min(max(dx, dy), 0.0) - radius


def triangle_down(x, y, cx, top, half_width, tip):
    """True inside the triangle with a flat top at `top` and its tip at `tip`."""
    if y < top or y > tip:
        return False
    return abs(x - cx) <= half_width * (tip - y) / (tip - top)


def runner_shape(x, y):
    """A parcel with an arrow pointing into it, on the unit square."""
    if box(x, y, 0.44, 0.06, 0.56, 0.40, 0.02) < 0 or triangle_down(x, y, 0.5, 0.36, 0.17, 0.58):
        return (255, 176, 32, 255)
    if box(x, y, 0.10, 0.48, 0.90, 0.94, 0.08) < 0:
        if abs(x - 0.5) < 0.05 and y < 0.94:
            return (236, 226, 190, 255)
        return (44, 98, 184, 255) if y > 0.60 else (70, 130, 214, 255)
    return (0, 0, 0, 0)


def console_shape(x, y):
    """A screen on a stand, its picture split into panes."""
    if box(x, y, 0.06, 0.10, 0.94, 0.72, 0.06) < 0:
        if box(x, y, 0.13, 0.17, 0.87, 0.65, 0.02) < 0:
            if x < 0.36:
                return (52, 170, 120, 255)
            return (228, 238, 250, 255) if y < 0.40 else (120, 176, 232, 255)
        return (40, 46, 58, 255)
    if box(x, y, 0.42, 0.70, 0.58, 0.84, 0.0) < 0 or box(x, y, 0.26, 0.82, 0.74, 0.90, 0.03) < 0:
        return (96, 104, 118, 255)
    return (0, 0, 0, 0)


def render(shape, size):
    """Rows of (r, g, b, a), top row first, each pixel averaged over its samples."""
    rows = []
    n = 2 if size > 64 else 4  # samples per pixel along each axis
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0, 0, 0, 0]
            for sy in range(n):
                for sx in range(n):
                    r, g, b, a = shape((px + (sx + 0.5) / n) / size, (py + (sy + 0.5) / n) / size)
                    acc[0] += r * a
                    acc[1] += g * a
                    acc[2] += b * a
                    acc[3] += a
            alpha = acc[3] / (n * n)
            if acc[3] == 0:
                row.append((0, 0, 0, 0))
            else:
                row.append(tuple(round(c / acc[3]) for c in acc[:3]) + (round(alpha),))
        rows.append(row)
    return rows


def palette():
    """A 6x6x6 colour cube followed by 40 greys: 256 entries."""
    levels = [0, 51, 102, 153, 204, 255]
    colours = [(r, g, b) for r in levels for g in levels for b in levels]
    colours += [(round(i * 255 / 39),) * 3 for i in range(40)]
    return colours


def nearest(colours, rgb):
    return min(range(len(colours)), key=lambda i: sum((a - b) ** 2 for a, b in zip(colours[i], rgb)))


def and_mask(rows, size):
    """1 bit per pixel, set where the pixel is transparent; rows padded to 4 bytes."""
    stride = (size + 31) // 32 * 4
    data = bytearray()
    for row in reversed(rows):
        line = bytearray(stride)
        for x, pixel in enumerate(row):
            if pixel[3] < 128:
                line[x // 8] |= 0x80 >> (x % 8)
        data += line
    return bytes(data)


def bitmap_header(size, bits, image_bytes):
    # The height counts the colour rows and the mask rows together.
    return struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bits, 0, image_bytes, 0, 0,
                       256 if bits == 8 else 0, 0)


def dib_8bit(rows, size):
    colours = palette()
    cache = {}
    stride = (size + 3) // 4 * 4
    pixels = bytearray()
    for row in reversed(rows):
        line = bytearray(stride)
        for x, (r, g, b, a) in enumerate(row):
            if a >= 128:
                line[x] = cache.setdefault((r, g, b), nearest(colours, (r, g, b)))
        pixels += line
    mask = and_mask(rows, size)
    table = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in colours)
    return bitmap_header(size, 8, len(pixels) + len(mask)) + table + bytes(pixels) + mask


def dib_32bit(rows, size):
    pixels = b"".join(struct.pack("<BBBB", b, g, r, a) for row in reversed(rows) for r, g, b, a in row)
    mask = and_mask(rows, size)
    return bitmap_header(size, 32, len(pixels) + len(mask)) + pixels + mask


def png_32bit(rows, size):
    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))

    raw = b"".join(b"\0" + bytes(c for pixel in row for c in pixel) for row in rows)
    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")


def icon_file(shape):
    images = []
    for size, bits in IMAGES:
        rows = render(shape, size)
        if bits == 8:
            images.append((size, bits, dib_8bit(rows, size)))
        elif size == 256:
            images.append((size, bits, png_32bit(rows, size)))
        else:
            images.append((size, bits, dib_32bit(rows, size)))
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, bits, data in images:
        # A width or height of 256 is written as 0.
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, bits, len(data), offset)
        offset += len(data)
    return out + b"".join(data for _, _, data in images)


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: make_icons.py OUTDIR")
    os.makedirs(sys.argv[1], exist_ok=True)
    for name, shape in (("runner.ico", runner_shape), ("console.ico", console_shape)):
        path = os.path.join(sys.argv[1], name)
        with open(path + ".tmp", "wb") as f:
            f.write(icon_file(shape))
        os.replace(path + ".tmp", path)


if __name__ == "__main__":
    main()
