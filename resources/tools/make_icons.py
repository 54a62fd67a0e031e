#!/usr/bin/env python3
"""Draws the desktop icon into resources/icons/hicolor/, laid out as the hicolor icon theme is:

  scalable/apps/velanote.svg     the emblem as an SVG, the source of the PNGs below
  48x48/apps/velanote.png        rendered from the SVG with rsvg-convert (librsvg2-bin)
  128x128/apps/velanote.png
  256x256/apps/velanote.png

The emblem is the one make_pictures.py draws for the window icon (a white speech bubble holding
sound bars on a teal rounded square), on the same 512-unit grid.

Usage: python3 resources/tools/make_icons.py [output-folder]
"""

import os
import subprocess
import sys

SIZES = (48, 128, 256)
TEAL = "#1b8a99"
BAR_HEIGHTS = (56, 112, 168, 112, 56)


def bars():
    rows = []
    for i, h in enumerate(BAR_HEIGHTS):
        x = 164 + i * 46
        rows.append('    <rect x="%d" y="%d" width="28" height="%d" rx="13" fill="%s"/>'
                    % (x - 14, 232 - h // 2, h, TEAL))
    return "\n".join(rows)


def svg():
    return """<?xml version="1.0" encoding="UTF-8"?>
<svg xmlns="http://www.w3.org/2000/svg" width="512" height="512" viewBox="0 0 512 512">
  <title>velanote</title>
  <defs>
    <linearGradient id="back" gradientUnits="userSpaceOnUse" x1="0" y1="0" x2="0" y2="512">
      <stop offset="0" stop-color="#2fc0c4"/>
      <stop offset="1" stop-color="#17608f"/>
    </linearGradient>
    <clipPath id="square">
      <rect x="16" y="16" width="480" height="480" rx="104"/>
    </clipPath>
  </defs>
  <g clip-path="url(#square)">
    <rect width="512" height="512" fill="url(#back)"/>
    <ellipse cx="256" cy="40" rx="300" ry="190" fill="#ffffff" fill-opacity="0.13"/>
  </g>
  <rect x="96" y="120" width="320" height="224" rx="64" fill="#ffffff"/>
  <polygon points="166,330 138,420 240,338" fill="#ffffff"/>
%s
</svg>
""" % bars()


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.normpath(os.path.join(here, "..", "icons", "hicolor"))
    scalable = os.path.join(out, "scalable", "apps", "velanote.svg")
    os.makedirs(os.path.dirname(scalable), exist_ok=True)
    with open(scalable, "w", encoding="utf-8") as f:
        f.write(svg())
    written = [scalable]
    for size in SIZES:
        png = os.path.join(out, "%dx%d" % (size, size), "apps", "velanote.png")
        os.makedirs(os.path.dirname(png), exist_ok=True)
        subprocess.run(["rsvg-convert", "-w", str(size), "-h", str(size), "-o", png, scalable], check=True)
        written.append(png)
    for path in written:
        print(path, os.path.getsize(path), "bytes")


if __name__ == "__main__":
    main()
