#!/usr/bin/env python3
"""Draws the program's pictures into resources/images/ with ImageMagick (`convert`, version 6 or 7
through its `convert` name) and the Noto Sans CJK fonts.

  splash.jpg      600 x 395  splash background: the "Vela" family mark on a gradient with an emblem
  banner.gif      640 x 207  main window banner
  strip.gif        21 x 184  animated equaliser strip (8 frames)
  update.gif, save.gif, copy.gif, exit.gif
                   16 x 16   menu icons, drawn inside their top-left 13 x 13 pixels
  water.jpg       640 x 106  sky, hills and water: the picture the ripple effect refracts
  hint.png         20 x 20   hint icon of the phrase window
  velanote.png     64 x 64   application icon
  check.png        12 x 12   tick of a checked check box (used by the skin)
  down.png         10 x 10   arrow of a drop-down list (used by the skin)

Usage: python3 resources/tools/make_pictures.py [output-folder]
"""

import math
import os
import random
import subprocess
import sys
import tempfile

FONT = "Noto-Sans-CJK-SC"
FONT_BOLD = "Noto-Sans-CJK-SC-Bold"
TEAL = "#1b8a99"


def im(*args):
    subprocess.run(["convert"] + [str(a) for a in args], check=True)


def save(*args):
    """Like im(), for a final picture: without metadata (no time stamps), so reruns give the same bytes."""
    im(*args[:-1], "-strip", args[-1])


# --------------------------------------------------------------------------- emblem and icon


def emblem(path, size, tmp):
    """The product emblem: a white speech bubble holding sound bars on a teal rounded square."""
    big = 512
    grad = os.path.join(tmp, "emblem-grad.png")
    mask = os.path.join(tmp, "emblem-mask.png")
    im("-size", "%dx%d" % (big, big), "gradient:#2fc0c4-#17608f", grad)
    im("-size", "%dx%d" % (big, big), "xc:black", "-fill", "white",
       "-draw", "roundrectangle 16,16 495,495 104,104", mask)
    bars = []
    for i, h in enumerate((56, 112, 168, 112, 56)):
        x = 164 + i * 46
        bars.append("roundrectangle %d,%d %d,%d 13,13" % (x - 14, 232 - h // 2, x + 14, 232 + h // 2))
    # a soft shine on the upper half, then the rounded square cut out
    im(grad, "-fill", "rgba(255,255,255,0.13)", "-draw", "ellipse 256,40 300,190 0,360",
       mask, "-alpha", "off", "-compose", "CopyOpacity", "-composite",
       "-fill", "white", "-draw", "roundrectangle 96,120 416,344 64,64",
       "-draw", "polygon 166,330 138,420 240,338",
       "-fill", "#1b8a99", "-draw", " ".join(bars),
       "-resize", "%dx%d" % (size, size), "-depth", "8", "-strip", path)


# --------------------------------------------------------------------------- splash and banner


def splash(path, tmp):
    w, h = 600, 395
    back = os.path.join(tmp, "splash-back.png")
    im("-size", "%dx%d" % (w, h), "-define", "gradient:direction=SouthEast",
       "gradient:#0e3f66-#27a7b3", back)
    rng = random.Random(7)
    glows = []
    for _ in range(14):
        x, y, r = rng.randint(0, w), rng.randint(0, h), rng.randint(18, 70)
        a = rng.uniform(0.04, 0.10)
        glows += ["-fill", "rgba(255,255,255,%.3f)" % a, "-draw", "circle %d,%d %d,%d" % (x, y, x + r, y)]
    waves = []
    for k in range(4):
        pts = []
        for x in range(-10, w + 11, 10):
            y = 330 + k * 12 + 14 * math.sin(x / 70.0 + k * 0.9) + 6 * math.sin(x / 23.0 + k)
            pts.append("%d,%d" % (x, y))
        waves += ["-stroke", "rgba(255,255,255,%.2f)" % (0.22 - 0.04 * k), "-strokewidth", "2",
                  "-fill", "none", "-draw", "polyline " + " ".join(pts)]
    icon = os.path.join(tmp, "splash-emblem.png")
    emblem(icon, 168, tmp)
    im(back, *glows, *waves, "-stroke", "none",
       icon, "-geometry", "+62+96", "-compose", "over", "-composite",
       "-font", FONT_BOLD, "-fill", "white", "-pointsize", "92", "-annotate", "+262+178", "Vela",
       "-font", FONT, "-fill", "#d8f3f5", "-pointsize", "27", "-annotate", "+266+222", "Vela系列软件",
       "-fill", "rgba(255,255,255,0.55)", "-draw", "rectangle 266,238 530,240",
       "-font", FONT_BOLD, "-fill", "white", "-pointsize", "40", "-annotate", "+264+290", "声笺 V6.0",
       "-font", FONT, "-fill", "#cfeef2", "-pointsize", "15", "-annotate", "+230+372",
       "把祝福说出来 · 单击继续",
       "-quality", "90", "-sampling-factor", "1x1", "-strip", path)


def banner(path, tmp):
    w, h = 640, 207
    back = os.path.join(tmp, "banner-back.png")
    im("-size", "%dx%d" % (w, h), "gradient:#ffffff-#d7eef2", back)
    waves = []
    for k, (amp, col) in enumerate(((18, "#7fd0d6"), (12, "#3fb0bd"), (8, TEAL))):
        pts = []
        for x in range(0, w + 1, 4):
            env = math.sin(math.pi * x / w)
            y = 172 + amp * env * math.sin(x / (14.0 + 5 * k) + k * 1.3)
            pts.append("%d,%.1f" % (x, y))
        waves += ["-stroke", col, "-strokewidth", "2", "-fill", "none", "-draw", "polyline " + " ".join(pts)]
    icon = os.path.join(tmp, "banner-emblem.png")
    emblem(icon, 112, tmp)
    notes = []
    for x, y, s in ((520, 70, 34), (566, 48, 26), (592, 96, 22)):
        notes += ["-pointsize", s, "-annotate", "+%d+%d" % (x, y), "♪"]
    im(back, *waves, "-stroke", "none",
       icon, "-geometry", "+34+26", "-compose", "over", "-composite",
       "-font", FONT_BOLD, "-fill", "#0f6f7c", "-pointsize", "40", "-annotate", "+170+76", "声笺",
       "-font", FONT, "-fill", "#2b5560", "-pointsize", "22", "-annotate", "+262+74", "让祝福开口说话",
       "-fill", "#4f7480", "-pointsize", "16", "-annotate", "+172+110",
       "Vela系列软件の声笺 V6.0  ·  输入祝福，生成语音音信",
       "-font", "DejaVu-Sans", "-fill", "#58b9c4", *notes,
       "-colors", "128", "-strip", path)


def strip(path, tmp):
    """An equaliser of three bars that rise and fall, looping."""
    frames = []
    heights = [(60, 120, 90), (100, 80, 140), (150, 60, 110), (120, 110, 70),
               (80, 150, 50), (50, 130, 100), (90, 90, 150), (70, 60, 120)]
    for i, hs in enumerate(heights):
        frame = os.path.join(tmp, "strip-%d.gif" % i)
        draws = []
        for j, hgt in enumerate(hs):
            x = 2 + j * 6
            draws += ["-fill", "#bfe6ea", "-draw", "rectangle %d,%d %d,%d" % (x, 4, x + 4, 179)]
            draws += ["-fill", TEAL, "-draw", "rectangle %d,%d %d,%d" % (x, 180 - hgt, x + 4, 179)]
            draws += ["-fill", "#39c3cf", "-draw", "rectangle %d,%d %d,%d" % (x, 180 - hgt, x + 4, 182 - hgt)]
        im("-size", "21x184", "xc:#eef7f9", *draws, frame)
        frames.append(frame)
    save("-delay", "12", "-loop", "0", *frames, "-layers", "optimize", path)


# --------------------------------------------------------------------------- small icons

ICON_COLOURS = {
    ".": "None",
    "D": "#24528a", "M": "#3d7cc4", "S": "#d9dee3", "K": "#24528a", "W": "#ffffff", "L": "#93aec6",
    "B": "#5a7f9e", "F": "#2f6fb0",
    "G": "#1f8f5a", "g": "#4cc08a",
    "R": "#c8322f", "r": "#ef7a72",
}

SAVE = [
    ".DDDDDDDDDDD.",
    "DMMSSSSSSKSMD",
    "DMMSSSSSSKSMD",
    "DMMSSSSSSKSMD",
    "DMMSSSSSSSSMD",
    "DMMMMMMMMMMMD",
    "DMMMMMMMMMMMD",
    "DMWWWWWWWWWMD",
    "DMWLLLLLLLWMD",
    "DMWWWWWWWWWMD",
    "DMWLLLLLLLWMD",
    "DMWWWWWWWWWMD",
    ".DDDDDDDDDDD.",
]

COPY = [
    "BBBBBBBB.....",
    "BWWWWWWB.....",
    "BWLLLLWB.....",
    "BWWWFFFFFFFFF",
    "BWLLFWWWWWWWF",
    "BWWWFWLLLLLWF",
    "BWLLFWWWWWWWF",
    "BWWWFWLLLLLWF",
    "BBBBFWWWWWWWF",
    "....FWLLLLLWF",
    "....FWWWWWWWF",
    "....FWLLLWWWF",
    "....FFFFFFFFF",
]


def ring(inner, outer, gap_from, gap_to, dark, light):
    """A 13 x 13 ring around (6, 6) with a gap between two angles (degrees, counterclockwise from
    the right, y pointing up); the inner edge in the light colour."""
    rows = []
    for y in range(13):
        row = ""
        for x in range(13):
            dx, dy = x - 6, 6 - y
            d = math.hypot(dx, dy)
            a = math.degrees(math.atan2(dy, dx)) % 360
            if inner <= d <= outer and not (gap_from <= a <= gap_to):
                row += light if d < (inner + outer) / 2 - 0.3 else dark
            else:
                row += "."
        rows.append(row)
    return [list(r) for r in rows]


def refresh_icon():
    """A circular arrow: a ring open at the upper right whose right-hand end points up."""
    px = ring(3.9, 5.9, 25, 80, "G", "g")
    head = {0: (10, 11), 1: (9, 12), 2: (8, 12), 3: (10, 11)}
    for y, (x0, x1) in head.items():
        for x in range(x0, x1 + 1):
            px[y][x] = "G"
    return ["".join(r) for r in px]


def power_icon():
    """The power symbol: a ring open at the top with a bar through the opening."""
    px = ring(3.9, 5.9, 50, 130, "R", "r")
    for y in range(0, 7):
        for x in (5, 6, 7):
            px[y][x] = "R" if x == 6 else "r"
    return ["".join(r) for r in px]


def write_icon(rows, path, tmp):
    """A 16 x 16 GIF with the 13 x 13 drawing in its top-left corner, the rest transparent."""
    used = sorted(set("".join(rows)) | {"."})
    xpm = ["/* XPM */", "static char *icon[] = {", '"16 16 %d 1",' % len(used)]
    for c in used:
        xpm.append('"%s c %s",' % (c, ICON_COLOURS[c]))
    padded = [r + "..." for r in rows] + ["." * 16] * 3
    xpm += ['"%s",' % r for r in padded]
    xpm[-1] = xpm[-1].rstrip(",")
    xpm.append("};")
    src = os.path.join(tmp, os.path.basename(path) + ".xpm")
    with open(src, "w") as f:
        f.write("\n".join(xpm) + "\n")
    save(src, path)


def hint(path, tmp):
    big = os.path.join(tmp, "hint-big.png")
    im("-size", "160x160", "xc:none", "-fill", "#f2b632", "-draw", "circle 80,80 80,6",
       "-fill", "#fbd46a", "-draw", "circle 80,74 80,18",
       "-fill", "white", "-draw", "circle 80,44 80,32",
       "-draw", "roundrectangle 68,64 92,128 10,10", big)
    save(big, "-resize", "20x20", "-depth", "8", path)


def skin_marks(check_path, down_path, tmp):
    """Small marks the style sheet draws: a white tick and a dark-teal down arrow."""
    big = os.path.join(tmp, "check-big.png")
    im("-size", "96x96", "xc:none", "-stroke", "white", "-strokewidth", "14", "-fill", "none",
       "-draw", "polyline 18,50 40,72 78,26", big)
    save(big, "-resize", "12x12", "-depth", "8", check_path)
    big = os.path.join(tmp, "down-big.png")
    im("-size", "80x80", "xc:none", "-stroke", "#2b5560", "-strokewidth", "11", "-fill", "none",
       "-draw", "polyline 14,28 40,54 66,28", big)
    save(big, "-resize", "10x10", "-depth", "8", down_path)


# --------------------------------------------------------------------------- water picture


def water(path, tmp):
    w, h, horizon = 640, 106, 50
    sky = os.path.join(tmp, "sky.png")
    clouds = os.path.join(tmp, "clouds.png")
    hills = os.path.join(tmp, "hills.png")
    scene = os.path.join(tmp, "scene.png")
    streaks = os.path.join(tmp, "streaks.png")
    im("-size", "%dx%d" % (w, horizon), "gradient:#5fb2e0-#d5eef8", sky)
    im("-seed", "11", "-size", "%dx%d" % (w, horizon), "plasma:fractal", "-colorspace", "Gray",
       "-blur", "0x2", "-level", "40%,75%", "-fill", "white", "-tint", "100", clouds)
    im(sky, "(", clouds, "-alpha", "copy", "-channel", "A", "-evaluate", "multiply", "0.75", "+channel",
       "-fill", "white", "-colorize", "100", ")", "-compose", "over", "-composite", sky)
    rng = random.Random(5)
    far, near = [], []
    for x in range(0, w + 9, 8):
        far.append("%d,%d" % (x, horizon - 12 - 9 * math.sin(x / 60.0) - 5 * math.sin(x / 17.0 + 1) - rng.random() * 2))
        near.append("%d,%d" % (x, horizon - 4 - 8 * max(0.0, math.sin(x / 45.0 + 2)) - rng.random() * 2))
    im("-size", "%dx%d" % (w, horizon), "xc:none",
       "-fill", "#7aa6b4", "-draw", "polygon 0,%d %s %d,%d" % (horizon, " ".join(far), w, horizon),
       "-fill", "#3f7a5c", "-draw", "polygon 0,%d %s %d,%d" % (horizon, " ".join(near), w, horizon), hills)
    im(sky, hills, "-compose", "over", "-composite", scene)
    im("-seed", "3", "-size", "%dx%d" % (w, h - horizon), "xc:", "+noise", "Random", "-colorspace", "Gray",
       "-motion-blur", "0x14+0", "-motion-blur", "0x14+180", "-level", "35%,65%", streaks)
    im(scene, "(", scene, "-flip", "-resize", "%dx%d!" % (w, h - horizon),
       "-fill", "#1f5f86", "-colorize", "35",
       streaks, "-compose", "overlay", "-composite",
       "(", "-size", "%dx%d" % (w, h - horizon), "gradient:rgba(10,50,80,0)-rgba(10,50,80,0.45)", ")",
       "-compose", "over", "-composite", ")",
       "-append", "-quality", "92", "-strip", path)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.normpath(os.path.join(here, "..", "images"))
    os.makedirs(out, exist_ok=True)
    with tempfile.TemporaryDirectory() as tmp:
        splash(os.path.join(out, "splash.jpg"), tmp)
        banner(os.path.join(out, "banner.gif"), tmp)
        strip(os.path.join(out, "strip.gif"), tmp)
        write_icon(refresh_icon(), os.path.join(out, "update.gif"), tmp)
        write_icon(SAVE, os.path.join(out, "save.gif"), tmp)
        write_icon(COPY, os.path.join(out, "copy.gif"), tmp)
        write_icon(power_icon(), os.path.join(out, "exit.gif"), tmp)
        water(os.path.join(out, "water.jpg"), tmp)
        hint(os.path.join(out, "hint.png"), tmp)
        emblem(os.path.join(out, "velanote.png"), 64, tmp)
        skin_marks(os.path.join(out, "check.png"), os.path.join(out, "down.png"), tmp)
    for name in sorted(os.listdir(out)):
        print(os.path.join(out, name), os.path.getsize(os.path.join(out, name)), "bytes")


if __name__ == "__main__":
    main()
