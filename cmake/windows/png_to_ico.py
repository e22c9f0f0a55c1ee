#!/usr/bin/env python3
"""Build tool: packs square PNG images, one for each size, into one Windows icon (.ico) that
holds them as they are (PNG entries, which Windows reads at every size).

Usage: png_to_ico.py OUT.ico IMAGE.png...
"""
import struct
import sys

PNG_SIGNATURE = b"\x89PNG\r\n\x1a\n"


def side(image, path):
    """The image's width, from its header, once it is known to be a square PNG of at most 256."""
    if image[:8] != PNG_SIGNATURE or image[12:16] != b"IHDR":
        sys.exit(f"{path}: not a PNG image")
    width, height = struct.unpack(">II", image[16:24])
    if width != height or not 0 < width <= 256:
        sys.exit(f"{path}: {width} x {height} pixels, not a square of at most 256")
    return width


def main(out, *paths):
    images = [open(path, "rb").read() for path in paths]
    sides = [side(image, path) for image, path in zip(images, paths)]
    offset = 6 + 16 * len(images)
    data = struct.pack("<HHH", 0, 1, len(images))
    for width, image in zip(sides, images):
        # One byte per side, where 0 stands for 256; 32 bits per pixel.
        data += struct.pack("<BBBBHHII", width % 256, width % 256, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    open(out, "wb").write(data + b"".join(images))


if __name__ == "__main__":
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    main(*sys.argv[1:])
