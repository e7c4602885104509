#!/usr/bin/env python3
"""Draws the wizard's bitmaps and writes them into src/setup/res/.

    python3 scripts/make-artwork.py           # (re)writes the six files
    python3 scripts/make-artwork.py --check   # exit 1 if a file differs

Everything is computed here from gradients, circles and lines (standard
library only, no randomness), so the same script always writes the same
bytes. The files are palette BMPs (BITMAPINFOHEADER, uncompressed,
bottom-up), small enough to sit in the runtime:

  side_picture.bmp    96 x 256, 4 bits: a teal gradient with light discs,
                      dithered onto a ramp of 16 shades. The page stretches
                      it to the 94 x 188 unit picture control.
  header_picture.bmp  288 x 36, 8 bits: white on the left (the title and
                      subtitle are drawn over it) fading to a soft teal,
                      with three overlapping discs at the right end.
  next.bmp, cancel.bmp, browse.bmp, ok.bmp
                      16 x 16, 4 bits: a right arrow, a cross, a folder and
                      a check mark on magenta (FF00FF), the colour the
                      buttons make transparent. Edges are hard (no blending
                      into the magenta, which would show as a pink fringe).
"""
import math
import os
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "..", "src", "setup", "res")

KEY = (0xFF, 0x00, 0xFF)


# --- BMP ----------------------------------------------------------------------

def bmp_bytes(width, height, bits, palette, rows):
    """rows: `height` lists of palette indices, top row first."""
    assert bits in (4, 8) and len(palette) <= (1 << bits)
    assert len(rows) == height and all(len(r) == width for r in rows)
    stride = ((width * bits + 31) // 32) * 4
    pixels = bytearray()
    for row in reversed(rows):  # bottom-up
        line = bytearray()
        if bits == 8:
            line.extend(row)
        else:
            for i in range(0, width, 2):
                hi = row[i]
                lo = row[i + 1] if i + 1 < width else 0
                line.append((hi << 4) | lo)
        line.extend(b"\0" * (stride - len(line)))
        pixels.extend(line)
    colours = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in palette)
    offset = 14 + 40 + len(colours)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, len(pixels),
                       2835, 2835, len(palette), 0)
    head = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    return head + info + colours + bytes(pixels)


# --- colour helpers -------------------------------------------------------------

def hex_rgb(text):
    return tuple(int(text[i:i + 2], 16) for i in (0, 2, 4))


def mix(a, b, t):
    return tuple(round(x + (y - x) * t) for x, y in zip(a, b))


def ramp(stops, count):
    """`count` colours evenly along the piecewise linear ramp `stops`
    [(position 0..1, rgb), ...]."""
    out = []
    for i in range(count):
        t = i / (count - 1)
        for (p0, c0), (p1, c1) in zip(stops, stops[1:]):
            if p0 <= t <= p1:
                out.append(mix(c0, c1, (t - p0) / (p1 - p0) if p1 > p0 else 0))
                break
    return out


def clamp(v, lo=0.0, hi=1.0):
    return lo if v < lo else hi if v > hi else v


def smooth_edge(distance, width=0.8):
    """1 well inside a shape (distance < 0), 0 outside, a soft edge between."""
    return clamp(0.5 - distance / width)


# A 4 x 4 ordered dither: thresholds in [0, 1).
BAYER4 = [[0, 8, 2, 10], [12, 4, 14, 6], [3, 11, 1, 9], [15, 7, 13, 5]]


def dithered(value, levels, x, y):
    """A shade 0..1 onto one of `levels` palette steps."""
    v = clamp(value) * (levels - 1)
    return min(levels - 1, int(v + (BAYER4[y % 4][x % 4] + 0.5) / 16))


# One calm teal ramp for both pictures: white, ice blue, teal, deep teal.
TEAL_STOPS = [
    (0.00, hex_rgb("FFFFFF")),
    (0.30, hex_rgb("D4ECF2")),
    (0.62, hex_rgb("5FAFC2")),
    (1.00, hex_rgb("0C4F63")),
]


# --- the side picture --------------------------------------------------------------

def side_picture():
    w, h = 96, 256
    levels = 16
    palette = ramp(TEAL_STOPS, levels)
    # Light discs (centre x, centre y, radius, how much they lighten) and
    # thin rings, in pixels of the picture.
    discs = [(78, 176, 58, 0.16), (18, 214, 40, 0.12), (60, 238, 26, 0.10), (30, 120, 22, 0.08)]
    rings = [(78, 176, 66, 1.4, 0.10), (18, 214, 48, 1.2, 0.08)]
    rows = []
    for y in range(h):
        row = []
        for x in range(w):
            fy = (y + 0.5) / h
            fx = (x + 0.5) / w
            # Light at the top, deep teal at the bottom, slightly darker on
            # the left edge.
            shade = 0.10 + 0.82 * fy ** 1.15 + 0.05 * (1 - fx) * fy
            for cx, cy, r, amount in discs:
                d = math.hypot(x + 0.5 - cx, y + 0.5 - cy) - r
                shade -= amount * smooth_edge(d, 2.0)
            for cx, cy, r, half, amount in rings:
                d = abs(math.hypot(x + 0.5 - cx, y + 0.5 - cy) - r) - half
                shade -= amount * smooth_edge(d, 1.0)
            row.append(dithered(shade, levels, x, y))
        rows.append(row)
    return bmp_bytes(w, h, 4, palette, rows)


# --- the header band --------------------------------------------------------------

def header_picture():
    w, h = 288, 36
    levels = 128
    palette = ramp(TEAL_STOPS, levels)
    # Three overlapping discs at the right end (centre x, centre y, radius,
    # shade), the later over the earlier.
    discs = [(262, 15, 13, 0.42), (246, 22, 10, 0.58), (271, 26, 7, 0.74)]
    rows = []
    for y in range(h):
        row = []
        for x in range(w):
            fx = (x + 0.5) / w
            # Pure white over the left half, where the texts are; then a
            # gentle fade towards a soft teal.
            t = clamp((fx - 0.45) / 0.55)
            shade = 0.30 * t * t * (3 - 2 * t)
            for cx, cy, r, disc_shade in discs:
                cover = smooth_edge(math.hypot(x + 0.5 - cx, y + 0.5 - cy) - r, 1.0)
                shade += (disc_shade - shade) * cover
            row.append(dithered(shade, levels, x, y))
        rows.append(row)
    return bmp_bytes(w, h, 8, palette, rows)


# --- the button pictures ------------------------------------------------------------

def segment_distance(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = clamp(((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy))
    return math.hypot(px - (ax + t * dx), py - (ay + t * dy))


def thick_polyline(points, half_width):
    def inside(x, y):
        return any(segment_distance(x, y, *a, *b) <= half_width for a, b in zip(points, points[1:]))
    return inside


def polygon(points):
    """Even-odd rule."""
    def inside(x, y):
        result = False
        for (x0, y0), (x1, y1) in zip(points, points[1:] + points[:1]):
            if (y0 > y) != (y1 > y) and x < x0 + (y - y0) * (x1 - x0) / (y1 - y0):
                result = not result
        return result
    return inside


def union(*shapes):
    return lambda x, y: any(s(x, y) for s in shapes)


def rect(x0, y0, x1, y1):
    return lambda x, y: x0 <= x <= x1 and y0 <= y <= y1


def icon(layers):
    """layers: (shape, fill rgb, edge rgb) painted in order on the key
    colour. A pixel belongs to a shape when at least half of its 4 x 4
    samples do; its pixels next to a pixel outside the shape take the edge
    colour."""
    size = 16
    palette = [KEY]
    pixels = [[0] * size for _ in range(size)]

    def index(colour):
        if colour not in palette:
            palette.append(colour)
        return palette.index(colour)

    for shape, fill, edge in layers:
        mask = [[sum(shape(x + (i + 0.5) / 4, y + (j + 0.5) / 4) for i in range(4) for j in range(4)) >= 8
                 for x in range(size)] for y in range(size)]

        def outside(x, y):
            return not (0 <= x < size and 0 <= y < size) or not mask[y][x]
        for y in range(size):
            for x in range(size):
                if mask[y][x]:
                    border = any(outside(x + dx, y + dy) for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))
                    pixels[y][x] = index(edge if border else fill)
    return bmp_bytes(size, size, 4, palette, pixels)


def next_button():
    arrow = polygon([(1.5, 6), (8, 6), (8, 2), (14.8, 8), (8, 14), (8, 10), (1.5, 10)])
    return icon([(arrow, hex_rgb("2A93A8"), hex_rgb("0F5566"))])


def cancel_button():
    cross = union(thick_polyline([(3.5, 3.5), (12.5, 12.5)], 1.9),
                  thick_polyline([(12.5, 3.5), (3.5, 12.5)], 1.9))
    return icon([(cross, hex_rgb("C8574A"), hex_rgb("7E2A22"))])


def browse_button():
    back = union(rect(0.6, 3.0, 6.4, 6.0), rect(0.6, 4.6, 14.4, 13.4))
    front = polygon([(3.2, 7.2), (15.4, 7.2), (13.6, 13.4), (0.8, 13.4)])
    return icon([(back, hex_rgb("D9A93F"), hex_rgb("8A6420")),
                 (front, hex_rgb("F2D27A"), hex_rgb("8A6420"))])


def ok_button():
    check = thick_polyline([(2.6, 8.6), (6.2, 12.2), (13.4, 3.6)], 1.7)
    return icon([(check, hex_rgb("2FA08E"), hex_rgb("166457"))])


FILES = {
    "side_picture.bmp": side_picture,
    "header_picture.bmp": header_picture,
    "next.bmp": next_button,
    "cancel.bmp": cancel_button,
    "browse.bmp": browse_button,
    "ok.bmp": ok_button,
}


def main(argv):
    check = "--check" in argv[1:]
    stale = []
    for name, draw in FILES.items():
        data = draw()
        path = os.path.normpath(os.path.join(OUT, name))
        if check:
            try:
                with open(path, "rb") as f:
                    same = f.read() == data
            except OSError:
                same = False
            if not same:
                stale.append(path)
        else:
            with open(path, "wb") as f:
                f.write(data)
            print(f"{path}: {len(data)} bytes")
    for path in stale:
        print(f"{path} differs from what scripts/make-artwork.py draws", file=sys.stderr)
    return 1 if stale else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
