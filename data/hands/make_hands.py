#!/usr/bin/python3
"""Writes the grab game's hand pictures as EMF files: "maushand.emf" (an open hand, fingers up),
"mausfaust.emf" (a fist), "klatschauf.emf" (two hands apart, about to clap) and "klatschzu.emf"
(the two hands clapped together).

Each picture is layers of filled polygons (a solid brush per colour, the null pen, no pens at
all), drawn in order: a dark outline under the skin, then the skin, then the creases.

Usage: make_hands.py OUTPUT_FOLDER   writes OUTPUT_FOLDER/<name>.emf
       make_hands.py --list          prints the file names, one a line, and writes nothing
"""

import math
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "glyphs"))
from make_glyphs import layered_emf  # noqa: E402  the glyph pictures' EMF writer

OUTLINE = (70, 40, 20)
SKIN = (246, 204, 160)
SHADE = (222, 170, 122)
CREASE = (150, 95, 55)
CUFF = (60, 110, 200)
SPARK = (255, 210, 0)
EDGE = 14  # outline thickness in design units


# --- shapes: lists of points, counter-clockwise on the screen -----------------------------------

def oriented(points):
    """All polygons turn the same way, so overlapping pieces of one colour add up under the
    non-zero fill rule instead of cutting holes."""
    area = sum(x0 * y1 - x1 * y0 for (x0, y0), (x1, y1) in zip(points, points[1:] + points[:1]))
    return points if area > 0 else list(reversed(points))


def ellipse(cx, cy, rx, ry, steps=36, turn=0.0):
    pts = []
    for i in range(steps):
        a = 2 * math.pi * i / steps
        x, y = rx * math.cos(a), ry * math.sin(a)
        c, s = math.cos(turn), math.sin(turn)
        pts.append((round(cx + x * c - y * s), round(cy + x * s + y * c)))
    return oriented(pts)


def capsule(x0, y0, x1, y1, r, steps=12):
    """A finger: the stadium round the segment (x0, y0)-(x1, y1) with radius r."""
    a = math.atan2(y1 - y0, x1 - x0)
    pts = []
    for i in range(steps + 1):
        t = a + math.pi / 2 + math.pi * i / steps
        pts.append((round(x0 + r * math.cos(t)), round(y0 + r * math.sin(t))))
    for i in range(steps + 1):
        t = a - math.pi / 2 + math.pi * i / steps
        pts.append((round(x1 + r * math.cos(t)), round(y1 + r * math.sin(t))))
    return oriented(pts)


def rounded_rect(x0, y0, x1, y1, r, steps=6):
    pts = []
    corners = [(x1 - r, y1 - r, 0), (x0 + r, y1 - r, 90), (x0 + r, y0 + r, 180), (x1 - r, y0 + r, 270)]
    for cx, cy, start in corners:
        for i in range(steps + 1):
            t = math.radians(start + 90 * i / steps)
            pts.append((round(cx + r * math.cos(t)), round(cy + r * math.sin(t))))
    return oriented(pts)


def line(x0, y0, x1, y1, w):
    return capsule(x0, y0, x1, y1, w / 2, steps=4)


def mirror(polys, width):
    return [oriented([(width - x, y) for x, y in p]) for p in polys]


# --- the pictures ---------------------------------------------------------------------------------

def finger_set(specs):
    """Fingers as (x0, y0, x1, y1, r): skin shapes and their outlines."""
    skin = [capsule(*s) for s in specs]
    edge = [capsule(x0, y0, x1, y1, r + EDGE) for x0, y0, x1, y1, r in specs]
    return skin, edge


def open_hand():
    w, h = 440, 480
    fingers = [(118, 250, 96, 92, 34), (186, 230, 180, 66, 36), (254, 230, 260, 72, 35),
               (316, 252, 334, 124, 31)]
    thumb = [(150, 330, 48, 222, 36)]
    skin, edge = finger_set(fingers + thumb)
    palm = rounded_rect(92, 214, 352, 420, 70)
    palm_edge = rounded_rect(92 - EDGE, 214 - EDGE, 352 + EDGE, 420 + EDGE, 70 + EDGE)
    cuff = rounded_rect(120, 400, 330, 476, 20)
    cuff_edge = rounded_rect(120 - EDGE, 400 - EDGE, 330 + EDGE, 478, 20 + EDGE)
    creases = [line(150, 300, 250, 270, 10), line(170, 350, 300, 320, 10),
               line(186, 150, 184, 176, 8), line(256, 160, 258, 186, 8), line(110, 180, 104, 200, 8),
               line(328, 200, 332, 220, 8)]
    return w, h, [(OUTLINE, edge + [palm_edge, cuff_edge]), (SKIN, skin + [palm]), (CREASE, creases),
                  (CUFF, [cuff])]


def fist():
    w, h = 440, 480
    knuckles = [(110, 180, 150, 180, 40), (170, 160, 220, 160, 44), (240, 162, 290, 162, 44),
                (306, 184, 340, 184, 38)]
    skin, edge = finger_set(knuckles)
    body = rounded_rect(80, 170, 370, 410, 80)
    body_edge = rounded_rect(80 - EDGE, 170 - EDGE, 370 + EDGE, 410 + EDGE, 80 + EDGE)
    thumb_spec = (110, 300, 290, 262, 42)
    thumb = capsule(*thumb_spec)
    thumb_edge = capsule(*thumb_spec[:4], thumb_spec[4] + EDGE)
    cuff = rounded_rect(120, 396, 330, 476, 20)
    cuff_edge = rounded_rect(120 - EDGE, 396 - EDGE, 330 + EDGE, 478, 20 + EDGE)
    creases = [line(160, 150, 160, 226, 10), line(230, 130, 230, 210, 10), line(298, 140, 298, 214, 10),
               line(120, 232, 340, 232, 10), line(300, 262, 330, 300, 10)]
    return w, h, [(OUTLINE, edge + [body_edge, thumb_edge, cuff_edge]), (SKIN, skin + [body]),
                  (SHADE, [ellipse(230, 350, 90, 30)]), (OUTLINE, [thumb_edge]), (SKIN, [thumb]),
                  (CREASE, creases), (CUFF, [cuff])]


def side_hand(cx, tilt):
    """A left hand seen from its back, the palm to the right, fingers up, centred at `cx`;
    turned by `tilt` about its wrist."""
    ox, oy = cx, 620

    def t(points):
        c, s = math.cos(tilt), math.sin(tilt)
        return oriented([(round(ox + (x - ox) * c - (y - oy) * s), round(oy + (x - ox) * s + (y - oy) * c))
                         for x, y in points])

    hand = rounded_rect(cx - 75, 130, cx + 75, 540, 70)
    hand_edge = rounded_rect(cx - 75 - EDGE, 130 - EDGE, cx + 75 + EDGE, 540 + EDGE, 70 + EDGE)
    thumb = capsule(cx + 40, 480, cx + 52, 330, 26)
    thumb_edge = capsule(cx + 40, 480, cx + 52, 330, 26 + EDGE)
    cuff = rounded_rect(cx - 70, 520, cx + 70, 680, 20)
    cuff_edge = rounded_rect(cx - 70 - EDGE, 520 - EDGE, cx + 70 + EDGE, 680, 20 + EDGE)
    fingers = [line(cx - 38, 150, cx - 38, 300, 9), line(cx, 140, cx, 310, 9), line(cx + 38, 150, cx + 38, 300, 9)]
    knuckles = [line(cx - 55, 330, cx + 10, 340, 8)]
    return [(OUTLINE, [t(hand_edge), t(cuff_edge)]), (SKIN, [t(hand)]), (SHADE, [t(ellipse(cx - 20, 430, 40, 60))]),
            (CREASE, [t(f) for f in fingers + knuckles]), (OUTLINE, [t(thumb_edge)]), (SKIN, [t(thumb)]),
            (CUFF, [t(cuff)])]


def both_hands(apart):
    w, h = 1000, 680
    left = side_hand(290, -0.3) if apart else side_hand(500 - 75 - EDGE // 2, 0.0)
    right = [(colour, mirror(polys, w)) for colour, polys in left]
    layers = left + right
    if apart:
        # the hands swing towards each other
        swish = [line(460, 200, 440, 260, 14), line(480, 320, 460, 380, 14),
                 line(540, 200, 560, 260, 14), line(520, 320, 540, 380, 14)]
        layers.append((SPARK, swish))
    else:
        sparks = [line(500, 100, 500, 20, 18), line(420, 110, 370, 50, 16), line(580, 110, 630, 50, 16),
                  line(380, 190, 300, 170, 14), line(620, 190, 700, 170, 14)]
        layers.append((SPARK, sparks))
    return w, h, layers


def designs():
    return {"maushand.emf": open_hand(), "mausfaust.emf": fist(),
            "klatschauf.emf": both_hands(True), "klatschzu.emf": both_hands(False)}


# --- EMF --------------------------------------------------------------------------------------------

def clipped(layers, w, h):
    def clip(p):
        return [(min(max(x, 0), w - 1), min(max(y, 0), h - 1)) for x, y in p]
    return [(colour, [clip(p) for p in polys]) for colour, polys in layers]


def emf(w, h, layers):
    return layered_emf(w, h, clipped(layers, w, h))


def main(argv):
    if len(argv) != 2:
        print(__doc__, file=sys.stderr)
        return 2
    pictures = designs()
    if argv[1] == "--list":
        print("\n".join(pictures))
        return 0
    out = Path(argv[1])
    out.mkdir(parents=True, exist_ok=True)
    for name, (w, h, layers) in pictures.items():
        target = out / name
        tmp = target.with_suffix(".tmp")
        tmp.write_bytes(emf(w, h, layers))
        tmp.replace(target)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
