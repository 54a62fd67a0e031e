#!/usr/bin/env python3
"""Builds the skin file resources/skin/skinh.she from resources/skin/skinh.qss.

Skin file layout: the four bytes ".SHE", then the style sheet (UTF-8) compressed the way Qt's
qCompress() stores it: the uncompressed length as a 4-byte big-endian number, then a zlib stream.
The program reads it back with qUncompress() on everything after the first four bytes.

Usage: python3 resources/tools/make_skin.py [style-sheet] [output]
"""

import os
import struct
import sys
import zlib


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    skin = os.path.normpath(os.path.join(here, "..", "skin"))
    source = sys.argv[1] if len(sys.argv) > 1 else os.path.join(skin, "skinh.qss")
    target = sys.argv[2] if len(sys.argv) > 2 else os.path.join(skin, "skinh.she")
    with open(source, "rb") as f:
        data = f.read()
    data.decode("utf-8")  # the style sheet must be valid UTF-8
    body = struct.pack(">I", len(data)) + zlib.compress(data, 9)
    with open(target, "wb") as f:
        f.write(b".SHE" + body)
    print("%s: %d bytes (style sheet %d bytes)" % (target, 4 + len(body), len(data)))


if __name__ == "__main__":
    main()
