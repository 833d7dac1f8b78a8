#!/usr/bin/env python3
"""Writes resources/setup.ico, the program's printer icon, from the pixel
drawings below (32x32 and 16x16, 32 bits per pixel with an AND mask, so that
systems without alpha blending draw it through the mask alone), and the
sizes a scaled screen asks for (20, 24, 40, 48 and 64 pixels) resampled from
the 32-pixel drawing: each pixel the average of the drawing's area it
covers, so edges are smoothed through the alpha channel rather than doubled
or dropped; the mask leaves out what is less than half covered.

Run it again after changing a drawing:  python3 resources/icon/make-icon.py
"""
import os
import struct

PALETTE = {
    '.': None,                    # transparent
    'K': (0x2b, 0x2f, 0x36),      # outline
    'W': (0xff, 0xff, 0xff),      # paper
    'G': (0x9a, 0xa4, 0xb0),      # printed lines
    'L': (0xd6, 0xda, 0xe2),      # body, lit
    'M': (0xa9, 0xb0, 0xbc),      # body, shaded
    'D': (0x4a, 0x50, 0x5a),      # paper slot
    'E': (0x2e, 0xb8, 0x4a),      # power lamp
    'B': (0x2f, 0x6f, 0xc8),      # panel button
}

ICON32 = """
................................
................................
................................
.........KKKKKKKKKKKKKK.........
.........KWWWWWWWWWWWWK.........
.........KWGGGGGGGGGGWK.........
.........KWWWWWWWWWWWWK.........
.........KWGGGGGGGGWWWK.........
.........KWWWWWWWWWWWWK.........
.........KWGGGGGGGGGGWK.........
.........KWWWWWWWWWWWWK.........
...KKKKKKKKKKKKKKKKKKKKKKKKKK...
..KLLLLLLLLLLLLLLLLLLLLLLLLLLK..
..KLLLLLLLLLLLLLLLLLLLLLLLLLLK..
..KLLLLLLLLLLLLLLLLLLLLLLLLLLK..
..KLLLLLLLLLLLLLLLLLLLLLBBLELK..
..KLLLLLLLLLLLLLLLLLLLLLBBLELK..
..KLLLLLLLLLLLLLLLLLLLLLLLLLLK..
..KMMMMMMMMMMMMMMMMMMMMMMMMMMK..
..KMMMDDDDDDDDDDDDDDDDDDDDMMMK..
..KMMMDDDDDDDDDDDDDDDDDDDDMMMK..
..KMMMMMMMMMMMMMMMMMMMMMMMMMMK..
..KMMMMMMMMMMMMMMMMMMMMMMMMMMK..
...KKKKKWWWWWWWWWWWWWWWWKKKKK...
.......KWGGGGGGGGGGGGGGWK.......
.......KWWWWWWWWWWWWWWWWK.......
.......KWGGGGGGGGGGGWWWWK.......
.......KWWWWWWWWWWWWWWWWK.......
.......KKKKKKKKKKKKKKKKKK.......
................................
................................
................................
"""

ICON16 = """
................
....KKKKKKKK....
....KWWWWWWK....
....KWGGGGWK....
....KWWWWWWK....
.KKKKKKKKKKKKKK.
.KLLLLLLLLLLLLK.
.KLLLLLLLLLBLEK.
.KLLLLLLLLLLLLK.
.KMMDDDDDDDDMMK.
.KMMMMMMMMMMMMK.
.KKKWWWWWWWWKKK.
...KWGGGGGGWK...
...KWWWWWWWWK...
...KKKKKKKKKK...
................
"""


def pixels(drawing):
    """The drawing as rows of (r, g, b, a), top row first."""
    rows = [r for r in drawing.strip('\n').split('\n')]
    size = len(rows)
    assert all(len(r) == size for r in rows), "drawings are square"
    return [[(0, 0, 0, 0) if PALETTE[ch] is None else PALETTE[ch] + (255,) for ch in row] for row in rows]


def overlap(start, end, cell):
    """How much of source cell [cell, cell + 1) lies in [start, end)."""
    return max(0.0, min(end, cell + 1) - max(start, cell))


def resampled(source, size):
    """The source square at `size` pixels, each the area average of what it covers."""
    n = len(source)
    scale = n / size
    out = []
    for y in range(size):
        row = []
        for x in range(size):
            x0, x1, y0, y1 = x * scale, (x + 1) * scale, y * scale, (y + 1) * scale
            r = g = b = a = 0.0
            for sy in range(int(y0), min(n, int(y1) + 1)):
                wy = overlap(y0, y1, sy)
                for sx in range(int(x0), min(n, int(x1) + 1)):
                    w = wy * overlap(x0, x1, sx)
                    if w == 0:
                        continue
                    pr, pg, pb, pa = source[sy][sx]
                    # Colours weighted by their cover, so transparency does not darken edges.
                    r += pr * pa * w
                    g += pg * pa * w
                    b += pb * pa * w
                    a += pa * w
            area = scale * scale
            if a == 0:
                row.append((0, 0, 0, 0))
            else:
                row.append((round(r / a), round(g / a), round(b / a), round(a / area)))
        out.append(row)
    return out


def encoded(rows):
    """An icon image (header, colours, AND mask) from rows of (r, g, b, a)."""
    size = len(rows)
    mask_stride = ((size + 31) // 32) * 4
    xor = bytearray()
    mask = bytearray()
    for row in reversed(rows):  # bottom-up, as bitmaps are stored
        bits = bytearray(mask_stride)
        for x, (r, g, b, a) in enumerate(row):
            if a < 128:
                bits[x // 8] |= 0x80 >> (x % 8)
            xor += bytes((b, g, r, a) if a else (0, 0, 0, 0))
        mask += bits
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0,
                         len(xor) + len(mask), 0, 0, 0, 0)
    return size, header + bytes(xor) + bytes(mask)


# The sizes Windows picks from at 125, 150, 200 per cent and beyond, for
# the window's small and large icons.
SCALED_SIZES = (20, 24, 40, 48, 64)


def image(drawing):
    rows = [r for r in drawing.strip('\n').split('\n')]
    size = len(rows)
    assert all(len(r) == size for r in rows), "drawings are square"
    xor = bytearray()
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):  # bottom-up, as bitmaps are stored
        bits = bytearray(mask_stride)
        for x, ch in enumerate(row):
            colour = PALETTE[ch]
            if colour is None:
                xor += bytes((0, 0, 0, 0))
                bits[x // 8] |= 0x80 >> (x % 8)
            else:
                r, g, b = colour
                xor += bytes((b, g, r, 0xff))
        mask += bits
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0,
                         len(xor) + len(mask), 0, 0, 0, 0)
    return size, header + bytes(xor) + bytes(mask)


def main():
    images = [image(ICON32), image(ICON16)]
    images += [encoded(resampled(pixels(ICON32), size)) for size in SCALED_SIZES]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        out += struct.pack('<BBBBHHII', size, size, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for _, data in images:
        out += data
    target = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'setup.ico')
    with open(target, 'wb') as f:
        f.write(out)


if __name__ == '__main__':
    main()
