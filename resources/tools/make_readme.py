#!/usr/bin/env python3
"""Builds the readme resource resources/text/readme-gbk.txt (installed as 说明.txt) from the UTF-8
source resources/text/readme.txt: Windows line endings, GBK code page.

Usage: python3 resources/tools/make_readme.py [source] [output]
"""

import os
import sys


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    text_dir = os.path.normpath(os.path.join(here, "..", "text"))
    source = sys.argv[1] if len(sys.argv) > 1 else os.path.join(text_dir, "readme.txt")
    target = sys.argv[2] if len(sys.argv) > 2 else os.path.join(text_dir, "readme-gbk.txt")
    with open(source, encoding="utf-8") as f:
        text = f.read()
    data = text.replace("\r\n", "\n").replace("\n", "\r\n").encode("gbk")
    with open(target, "wb") as f:
        f.write(data)
    print("%s: %d bytes" % (target, len(data)))


if __name__ == "__main__":
    main()
