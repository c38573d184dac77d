#!/usr/bin/env python3
"""Draws the control's 92 by 96 logo and writes it as a PNG (standard library only).

A rounded tile in two blues with a white ring and a tail, and a pencil stroke under it.
Run: python3 scripts/make-logo.py src/support/resources/qorva_logo.png
"""
import math
import struct
import sys
import zlib

W, H, SS = 92, 96, 4  # size and supersampling per side


def inside_rounded(x, y, left, top, right, bottom, radius):
    cx = min(max(x, left + radius), right - radius)
    cy = min(max(y, top + radius), bottom - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2


def sample(x, y):
    """Colour (r, g, b, a) of the point (x, y) in logo pixels."""
    if not inside_rounded(x, y, 2, 2, 90, 94, 16):
        return (0, 0, 0, 0)
    t = y / H
    r, g, b = int(28 + 20 * t), int(96 + 40 * t), int(200 - 30 * t)
    # The ring.
    cx, cy, outer, inner = 46, 42, 27, 17
    d = math.hypot(x - cx, y - cy)
    if inner <= d <= outer:
        return (255, 255, 255, 255)
    # The tail, a slanted bar leaving the ring at the lower right.
    u, v = (x - 58) * 0.707 + (y - 54) * 0.707, -(x - 58) * 0.707 + (y - 54) * 0.707
    if 0 <= u <= 22 and abs(v) <= 5:
        return (255, 255, 255, 255)
    # The pencil stroke along the bottom.
    if 80 <= y <= 84 and 16 <= x <= 76:
        return (255, 214, 90, 255)
    return (r, g, b, 255)


def render():
    rows = []
    for py in range(H):
        row = bytearray([0])  # filter type: none
        for px in range(W):
            acc = [0, 0, 0, 0]
            for sy in range(SS):
                for sx in range(SS):
                    c = sample(px + (sx + 0.5) / SS, py + (sy + 0.5) / SS)
                    acc[0] += c[0] * c[3]
                    acc[1] += c[1] * c[3]
                    acc[2] += c[2] * c[3]
                    acc[3] += c[3]
            a = acc[3]
            if a == 0:
                row += bytes(4)
            else:
                row += bytes([round(acc[0] / a), round(acc[1] / a), round(acc[2] / a),
                              round(a / (SS * SS))])
        rows.append(bytes(row))
    return b"".join(rows)


def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def main():
    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", W, H, 8, 6, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(render(), 9))
    png += chunk(b"IEND", b"")
    with open(sys.argv[1], "wb") as out:
        out.write(png)


if __name__ == "__main__":
    main()
