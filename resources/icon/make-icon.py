#!/usr/bin/env python3
"""Writes resources/setup.ico, the program's printer icon, from the pixel
drawings below (32x32 and 16x16, 32 bits per pixel with an AND mask, so that
systems without alpha blending draw it through the mask alone).

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
