#!/usr/bin/env python3
"""Writes the seed corpus of fuzz_bmp: small valid BMP files of every kind the decoder reads."""
import os
import struct

HERE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus")


def bmp(width, height, bits, pixels, compression=0, palette=(), masks=(), header=40):
    extra = b"".join(struct.pack("<I", m) for m in masks)
    entry = 3 if header == 12 else 4
    pal = b"".join(struct.pack("<I", c)[:entry] for c in palette)
    offset = 14 + header + len(extra) + len(pal)
    if header == 12:
        info = struct.pack("<IHHHH", 12, width, height, 1, bits)
    else:
        info = struct.pack("<IiiHHIIiiII", header, width, height, 1, bits, compression,
                           len(pixels), 2835, 2835, len(palette), 0)
        if header > 40:
            fields = list(masks[:4]) + [0] * (4 - len(masks[:4]))
            info += struct.pack("<IIII", *fields)
            info += b"\0" * (header - 56)
            extra = b""
            offset = 14 + header + len(pal)
    head = b"BM" + struct.pack("<IHHI", offset + len(pixels), 0, 0, offset)
    return head + info + extra + pal + pixels


def rows(width, height, bits, value):
    stride = (width * bits + 31) // 32 * 4
    return bytes((value(x, y) if x < (width * bits + 7) // 8 else 0)
                 for y in range(height) for x in range(stride))


GREY4 = [0x000000, 0xFF0000, 0x00FF00, 0x0000FF]
FILES = {
    "rgb24.bmp": bmp(3, 2, 24, rows(3, 2, 24, lambda x, y: (x * 40 + y) & 0xFF)),
    "rgb24_topdown.bmp": bmp(3, -2, 24, rows(3, 2, 24, lambda x, y: x ^ y)),
    "rgb32.bmp": bmp(2, 2, 32, rows(2, 2, 32, lambda x, y: 0x80 if x % 4 == 3 else x)),
    "pal1.bmp": bmp(9, 2, 1, rows(9, 2, 1, lambda x, y: 0xA5), palette=[0, 0xFFFFFF]),
    "pal4.bmp": bmp(5, 2, 4, rows(5, 2, 4, lambda x, y: 0x12), palette=GREY4),
    "pal8.bmp": bmp(4, 3, 8, rows(4, 3, 8, lambda x, y: (x + y) % 4), palette=GREY4),
    "rle8.bmp": bmp(4, 2, 8, bytes([2, 1, 0, 3, 2, 3, 1, 0, 0, 0, 0, 2, 1, 0, 1, 3, 0, 1]),
                    compression=1, palette=GREY4),
    "rle4.bmp": bmp(4, 2, 4, bytes([3, 0x12, 0, 0, 0, 3, 0x30, 0, 0, 1]), compression=2,
                    palette=GREY4),
    "bitfields16.bmp": bmp(2, 1, 16, bytes([0x00, 0xF8, 0xE0, 0x07]), compression=3,
                           masks=(0xF800, 0x07E0, 0x001F)),
    "v5_32alpha.bmp": bmp(2, 1, 32, bytes([1, 2, 3, 4, 5, 6, 7, 8]), compression=3,
                          masks=(0xFF0000, 0xFF00, 0xFF, 0xFF000000), header=124),
    "core8.bmp": bmp(2, 1, 8, bytes([0, 1, 0, 0]), palette=GREY4, header=12),
}

if __name__ == "__main__":
    os.makedirs(HERE, exist_ok=True)
    for name, data in FILES.items():
        with open(os.path.join(HERE, name), "wb") as f:
            f.write(data)
