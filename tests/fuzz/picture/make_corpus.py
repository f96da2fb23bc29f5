#!/usr/bin/env python3
"""Writes the seed corpus of fuzz_picture: the BMP seeds of fuzz_bmp wrapped as stored
pictures ("TBitmap", a 32-bit byte count, the BMP file), an empty picture, and a few streams
broken in the ways the reader must refuse."""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
BMPS = os.path.join(HERE, "..", "bmp", "corpus")
OUT = os.path.join(HERE, "corpus")


def stream(class_name, payload):
    name = class_name.encode("ascii")
    return bytes([len(name)]) + name + payload


def bitmap(bmp, length=None):
    return stream("TBitmap", struct.pack("<I", len(bmp) if length is None else length) + bmp)


def main():
    os.makedirs(OUT, exist_ok=True)
    seeds = {"empty.pic": b"\0"}
    first = None
    for name in sorted(os.listdir(BMPS)):
        with open(os.path.join(BMPS, name), "rb") as f:
            bmp = f.read()
        first = first or bmp
        seeds[name.replace(".bmp", ".pic")] = bitmap(bmp)
    seeds["lying_length.pic"] = bitmap(first, 0xFFFFFFFF)
    seeds["trailing.pic"] = bitmap(first) + b"\0\0"
    seeds["other_class.pic"] = stream("TPngImage", b"\x89PNG")
    seeds["name_cut.pic"] = b"\x40TBit"
    for name, data in seeds.items():
        with open(os.path.join(OUT, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
