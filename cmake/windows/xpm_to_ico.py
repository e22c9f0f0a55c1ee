#!/usr/bin/env python3
"""Build tool: writes the program's drawn XPM images as one Windows icon (.ico) holding a PNG
image for each size asked, the way the desktop's PNG icons are made: the 16 pixel drawing for
16, else the 32 pixel one; whole multiples repeat each drawn pixel, other sizes are averaged.

Usage: xpm_to_ico.py SMALL.xpm LARGE.xpm OUT.ico SIZE...
"""
import re
import struct
import sys
import zlib


def read_xpm(path):
    """The image as rows of (r, g, b, a) pixels."""
    strings = re.findall(r'"((?:[^"\\]|\\.)*)"', open(path, encoding="ascii").read())
    width, height, colours, chars = (int(v) for v in strings[0].split()[:4])
    palette = {}
    for line in strings[1:1 + colours]:
        key, value = line[:chars], line[chars:].split()[-1]
        palette[key] = (0, 0, 0, 0) if value.lower() == "none" else (
            int(value[1:3], 16), int(value[3:5], 16), int(value[5:7], 16), 255)
    rows = strings[1 + colours:1 + colours + height]
    return [[palette[row[x * chars:(x + 1) * chars]] for x in range(width)] for row in rows]


def scaled(image, size):
    """The image at size x size: each target pixel averages the drawn area it covers, with the
    colours weighted by their opacity."""
    drawn = len(image)
    if size == drawn:
        return image
    step = drawn / size
    result = []
    for ty in range(size):
        row = []
        for tx in range(size):
            total = [0.0, 0.0, 0.0, 0.0]
            y0, y1, x0, x1 = ty * step, (ty + 1) * step, tx * step, (tx + 1) * step
            for sy in range(int(y0), min(drawn, int(y1 + 0.999999))):
                wy = min(y1, sy + 1) - max(y0, sy)
                for sx in range(int(x0), min(drawn, int(x1 + 0.999999))):
                    w = wy * (min(x1, sx + 1) - max(x0, sx))
                    r, g, b, a = image[sy][sx]
                    for i, v in enumerate((r * a, g * a, b * a, a)):
                        total[i] += w * v
            area = step * step
            alpha = total[3] / area
            row.append(tuple(round(total[i] / total[3]) if total[3] else 0 for i in range(3)) +
                       (round(alpha),))
        result.append(row)
    return result


def png(image):
    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data +
                struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))
    size = len(image)
    raw = b"".join(b"\0" + bytes(v for pixel in row for v in pixel) for row in image)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def main(small, large, out, *sizes):
    images = [png(scaled(read_xpm(small if int(s) == 16 else large), int(s))) for s in sizes]
    offset = 6 + 16 * len(images)
    data = struct.pack("<HHH", 0, 1, len(images))
    for size, image in zip(sizes, images):
        side = int(size) % 256  # 0 stands for 256
        data += struct.pack("<BBBBHHII", side, side, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    open(out, "wb").write(data + b"".join(images))


if __name__ == "__main__":
    if len(sys.argv) < 5:
        sys.exit(__doc__)
    main(*sys.argv[1:])
