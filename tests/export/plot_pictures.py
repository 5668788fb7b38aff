# SPDX-License-Identifier: GPL-3.0-or-later
"""--plot writes real pictures: a PNG of the size asked for whose pixels are not all one colour,
and an SVG that parses as XML.

Usage: plot_pictures.py QUILLON WORKDIR OUTDIR
"""
import os
import struct
import subprocess
import sys
import xml.etree.ElementTree as ElementTree
import zlib

quillon, workdir, outdir = sys.argv[1:4]


def batch(*options):
    run = subprocess.run([quillon, "--batch", *options], cwd=workdir, capture_output=True,
                         text=True, check=False)
    assert run.returncode == 0, (options, run.stderr)


def png_pixels(path):
    """The size and the unfiltered scanlines of an 8-bit, non-interlaced PNG."""
    with open(path, "rb") as handle:
        data = handle.read()
    assert data[:8] == b"\x89PNG\r\n\x1a\n", "not a PNG"
    at, idat = 8, b""
    while at < len(data):
        length, kind = struct.unpack(">I4s", data[at:at + 8])
        body = data[at + 8:at + 8 + length]
        if kind == b"IHDR":
            width, height, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        at += 12 + length
    assert depth == 8 and interlace == 0, (depth, interlace)
    channels = {0: 1, 2: 3, 4: 2, 6: 4}[colour]
    raw = zlib.decompress(idat)
    stride = width * channels
    rows, previous = [], bytearray(stride)
    for row in range(height):
        kind = raw[row * (stride + 1)]
        line = bytearray(raw[row * (stride + 1) + 1:(row + 1) * (stride + 1)])
        for i in range(stride):
            left = line[i - channels] if i >= channels else 0
            up = previous[i]
            corner = previous[i - channels] if i >= channels else 0
            if kind == 1:
                line[i] = (line[i] + left) & 255
            elif kind == 2:
                line[i] = (line[i] + up) & 255
            elif kind == 3:
                line[i] = (line[i] + (left + up) // 2) & 255
            elif kind == 4:
                guess = left + up - corner
                pa, pb, pc = abs(guess - left), abs(guess - up), abs(guess - corner)
                nearest = left if pa <= pb and pa <= pc else up if pb <= pc else corner
                line[i] = (line[i] + nearest) & 255
        rows.append(bytes(line))
        previous = line
    return width, height, channels, rows


png = os.path.join(outdir, "coil-plot.png")
batch("Coil", "--press", "3", "--plot", png, "--plot-size", "640x400")
width, height, channels, rows = png_pixels(png)
assert (width, height) == (640, 400), (width, height)
colours = {row[i:i + channels] for row in rows for i in range(0, len(row), channels)}
assert len(colours) > 2, colours

svg = os.path.join(outdir, "receiver-plot.svg")
batch("CrystalRadio", "--press", "3", "--plot", svg)
root = ElementTree.parse(svg).getroot()
assert root.tag.endswith("svg"), root.tag
assert any(element.tag.endswith("path") or element.tag.endswith("polyline")
           for element in root.iter()), "the SVG draws nothing"
print(f"PNG {width}x{height} with {len(colours)} colours; SVG parses")
