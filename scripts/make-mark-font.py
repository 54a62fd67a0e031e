#!/usr/bin/python3
"""Writes resources/fonts/velamarks.ttf: one glyph, a person's head and shoulders, at U+E004.

The greeting phrases end with U+E004, a private-use character that no installed font draws. The
program registers this font so that the character shows wherever its text does, while the text
itself stays unchanged. Needs python3-fonttools (Debian); run it again only to change the glyph.
"""
import math
import pathlib

from fontTools.fontBuilder import FontBuilder
from fontTools.pens.ttGlyphPen import TTGlyphPen

FAMILY = "Vela Marks"
EM = 1000
ASCENT, DESCENT = 880, -120


def circle(pen, cx, cy, r, segments=8):
    """A clockwise circle of quadratic arcs."""
    step = 2 * math.pi / segments
    off = r / math.cos(step / 2)
    pen.moveTo((cx, cy + r))
    for i in range(segments):
        a_mid = math.pi / 2 - (i + 0.5) * step
        a_end = math.pi / 2 - (i + 1) * step
        pen.qCurveTo((round(cx + off * math.cos(a_mid)), round(cy + off * math.sin(a_mid))),
                     (round(cx + r * math.cos(a_end)), round(cy + r * math.sin(a_end))))
    pen.closePath()


def shoulders(pen, left, right, bottom, top):
    """A clockwise bust: straight base, upright sides, a round top."""
    cx = (left + right) / 2
    rx = (right - left) / 2
    shoulder = top - rx * 0.9
    pen.moveTo((left, bottom))
    pen.lineTo((left, round(shoulder)))
    pen.qCurveTo((left, top), (round(cx), top))
    pen.qCurveTo((right, top), (right, round(shoulder)))
    pen.lineTo((right, bottom))
    pen.closePath()


def person():
    pen = TTGlyphPen(None)
    circle(pen, 500, 560, 175)
    shoulders(pen, 190, 810, -40, 350)
    return pen.glyph()


def empty():
    return TTGlyphPen(None).glyph()


def main():
    fb = FontBuilder(EM, isTTF=True)
    fb.setupGlyphOrder([".notdef", "uniE004"])
    fb.setupCharacterMap({0xE004: "uniE004"})
    fb.setupGlyf({".notdef": empty(), "uniE004": person()})
    fb.setupHorizontalMetrics({".notdef": (EM, 0), "uniE004": (EM, 60)})
    fb.setupHorizontalHeader(ascent=ASCENT, descent=DESCENT)
    fb.setupNameTable({"familyName": FAMILY, "styleName": "Regular"})
    fb.setupOS2(sTypoAscender=ASCENT, sTypoDescender=DESCENT, usWinAscent=ASCENT, usWinDescent=-DESCENT)
    fb.setupPost()
    out = pathlib.Path(__file__).resolve().parent.parent / "resources" / "fonts" / "velamarks.ttf"
    fb.save(str(out))
    print(out)


if __name__ == "__main__":
    main()
