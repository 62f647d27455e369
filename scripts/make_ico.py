#!/usr/bin/env python3
"""Writes a Windows icon file holding PNG images as they are (each PNG is one
of the icon's sizes): make_ico.py OUT.ico IN.png [IN.png ...]."""
import os
import struct
import sys


def png_size(data, name):
    if data[:8] != b"\x89PNG\r\n\x1a\n" or data[12:16] != b"IHDR":
        sys.exit(f"{name}: not a PNG file")
    return struct.unpack(">II", data[16:24])


def main():
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    images = []
    for name in sys.argv[2:]:
        with open(name, "rb") as f:
            data = f.read()
        w, h = png_size(data, name)
        if w > 256 or h > 256:
            sys.exit(f"{name}: {w}x{h} is larger than an icon holds (256x256)")
        images.append((w, h, data))
    images.sort(key=lambda i: i[0])
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for w, h, data in images:
        # A size of 256 is written as 0.
        out += struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for _, _, data in images:
        out += data
    tmp = sys.argv[1] + ".tmp"
    with open(tmp, "wb") as f:
        f.write(out)
    os.replace(tmp, sys.argv[1])


if __name__ == "__main__":
    main()
