#!/usr/bin/env python3
"""Converts the 32-bit top-down BMP files the dialog pictures come in to PNG."""

import struct
import sys
import zlib


def bmp_to_png(source, target):
    with open(source, "rb") as f:
        data = f.read()
    offset = struct.unpack_from("<I", data, 10)[0]
    width, height = struct.unpack_from("<ii", data, 18)
    bits = struct.unpack_from("<H", data, 28)[0]
    if bits != 32:
        raise SystemExit(f"{source}: {bits}-bit pictures are not supported")
    top_down = height < 0
    height = abs(height)
    stride = width * 4
    rows = []
    for y in range(height):
        row_index = y if top_down else height - 1 - y
        start = offset + row_index * stride
        row = data[start:start + stride]
        rgb = bytearray(width * 3)
        rgb[0::3] = row[2::4]
        rgb[1::3] = row[1::4]
        rgb[2::3] = row[0::4]
        rows.append(b"\x00" + bytes(rgb))

    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body +
                struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))

    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(b"".join(rows), 9))
    png += chunk(b"IEND", b"")
    with open(target, "wb") as f:
        f.write(png)


if __name__ == "__main__":
    if len(sys.argv) != 3:
        raise SystemExit("usage: bmp_to_png.py SOURCE.bmp TARGET.png")
    bmp_to_png(sys.argv[1], sys.argv[2])
