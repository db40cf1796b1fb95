#!/usr/bin/python3
"""Writes the console's glyph pictures: one small EMF file per frame, shade and arrow character,
named by its decimal code-page-437 code ("emfs/196.emf" for the horizontal line).

Every picture is drawn on one design grid (WIDTH x HEIGHT logical units) with filled polygons
only (a solid black brush and the null pen), so that, stretched over a cell plus its 2-pixel
overlap, the lines of neighbouring cells meet exactly: each line runs to the very edge of the
picture at the same thickness and the same centre position in every glyph.

Usage: make_glyphs.py OUTPUT_FOLDER   writes OUTPUT_FOLDER/<code>.emf
       make_glyphs.py --list          prints the codes, one a line, and writes nothing
"""

import struct
import sys
from pathlib import Path

# Design grid in logical units (one unit = one reference-device pixel = 0.01 mm). A text cell is
# about twice as tall as it is wide.
WIDTH = 400
HEIGHT = 800
CX = WIDTH // 2
CY = HEIGHT // 2

# Stroke sizes: single lines, and the two thinner strokes of a double line at fixed offsets.
SINGLE_V = 56           # width of a vertical single line
SINGLE_H = 56           # height of a horizontal single line
DOUBLE_V = 40           # width of each stroke of a vertical double line
DOUBLE_H = 48           # height of each stroke of a horizontal double line
DOUBLE_V_OFFSET = 76    # distance of a vertical double stroke's centre from CX
DOUBLE_H_OFFSET = 104   # distance of a horizontal double stroke's centre from CY

# Bytes that German text uses as Windows-1252 letters get no picture, or the console would draw
# those letters as frame pieces: 214 Ö, 220 Ü, 223 ß, 228 ä, 246 ö, 252 ü. 196 stays although it
# is also "Ä": the horizontal line is part of every box.
LETTER_CODES = frozenset({214, 220, 223, 228, 246, 252})

# Box pieces: code -> arms (up, down, left, right); 0 none, 1 single line, 2 double line.
BOX = {
    179: (1, 1, 0, 0), 180: (1, 1, 1, 0), 181: (1, 1, 2, 0), 182: (2, 2, 1, 0),
    183: (0, 2, 1, 0), 184: (0, 1, 2, 0), 185: (2, 2, 2, 0), 186: (2, 2, 0, 0),
    187: (0, 2, 2, 0), 188: (2, 0, 2, 0), 189: (2, 0, 1, 0), 190: (1, 0, 2, 0),
    191: (0, 1, 1, 0), 192: (1, 0, 0, 1), 193: (1, 0, 1, 1), 194: (0, 1, 1, 1),
    195: (1, 1, 0, 1), 196: (0, 0, 1, 1), 197: (1, 1, 1, 1), 198: (1, 1, 0, 2),
    199: (2, 2, 0, 1), 200: (2, 0, 0, 2), 201: (0, 2, 0, 2), 202: (2, 0, 2, 2),
    203: (0, 2, 2, 2), 204: (2, 2, 0, 2), 205: (0, 0, 2, 2), 206: (2, 2, 2, 2),
    207: (1, 0, 2, 2), 208: (2, 0, 1, 1), 209: (0, 1, 2, 2), 210: (0, 2, 1, 1),
    211: (2, 0, 0, 1), 212: (1, 0, 0, 2), 213: (0, 1, 0, 2), 214: (0, 2, 0, 1),
    215: (2, 2, 1, 1), 216: (1, 1, 2, 2), 217: (1, 0, 1, 0), 218: (0, 1, 0, 1),
}


def rect(x0, y0, x1, y1):
    return [(x0, y0), (x1, y0), (x1, y1), (x0, y1)]


def strokes(kind, centre, size_single, size_double, offset):
    """Strokes across one axis as (side, low, high): side -1/+1 for the two strokes of a double
    line (the one nearer 0 first), 0 for a single line."""
    if kind == 1:
        return [(0, centre - size_single // 2, centre + size_single // 2)]
    if kind == 2:
        return [(-1, centre - offset - size_double // 2, centre - offset + size_double // 2),
                (+1, centre + offset - size_double // 2, centre + offset + size_double // 2)]
    return []


def arm_end(direction, side, own_through, cross, cross_on_side, cross_centre):
    """Where a stroke of an arm that starts at the picture edge ends inside the cell.

    direction -1 for an arm from the low edge (up/left), +1 from the high edge (down/right);
    side is the stroke's place within its line; cross are the crossing line's strokes.
    cross_on_side(side) tells whether the crossing line has an arm on that side of this line;
    own_through whether the crossing line runs on at both ends (both its arms present).

    A stroke stops on the crossing stroke nearest to it, or runs on to the farthest one, so that
    corners close and double lines keep their gaps open where another line enters them.
    """
    if not cross:
        return cross_centre
    nearest = cross[0] if direction < 0 else cross[-1]
    farthest = cross[-1] if direction < 0 else cross[0]
    if side == 0:
        stop_at_nearest = own_through
    else:
        stop_at_nearest = cross_on_side(side)
    stroke = nearest if stop_at_nearest else farthest
    # Cover the chosen crossing stroke completely.
    return stroke[2] if direction < 0 else stroke[1]


def box_piece(up, down, left, right):
    v_kind, h_kind = max(up, down), max(left, right)
    v_strokes = strokes(v_kind, CX, SINGLE_V, DOUBLE_V, DOUBLE_V_OFFSET)
    h_strokes = strokes(h_kind, CY, SINGLE_H, DOUBLE_H, DOUBLE_H_OFFSET)
    polys = []
    for arm, direction in ((up, -1), (down, +1)):
        if not arm:
            continue
        for side, x0, x1 in strokes(arm, CX, SINGLE_V, DOUBLE_V, DOUBLE_V_OFFSET):
            end = arm_end(direction, side, bool(left and right), h_strokes,
                          lambda s: bool(left if s < 0 else right), CY)
            polys.append(rect(x0, 0, x1, end) if direction < 0 else rect(x0, end, x1, HEIGHT))
    for arm, direction in ((left, -1), (right, +1)):
        if not arm:
            continue
        for side, y0, y1 in strokes(arm, CY, SINGLE_H, DOUBLE_H, DOUBLE_H_OFFSET):
            end = arm_end(direction, side, bool(up and down), v_strokes,
                          lambda s: bool(up if s < 0 else down), CX)
            polys.append(rect(0, y0, end, y1) if direction < 0 else rect(end, y0, WIDTH, y1))
    return polys


def shade(level):
    """░ ▒ ▓ as a dot pattern of 100 x 100 squares: a quarter, a half or three quarters filled."""
    polys = []
    step = 100
    for r in range(HEIGHT // step):
        for c in range(WIDTH // step):
            light = r % 2 == 0 and c % 2 == (r // 2) % 2
            filled = {1: light, 2: (r + c) % 2 == 0, 3: not light}[level]
            if filled:
                polys.append(rect(c * step, r * step, (c + 1) * step, (r + 1) * step))
    return polys


def disjoint(rects):
    """The union of axis-aligned rectangles as rectangles that do not overlap.

    Overlapping pieces would count twice in a winding fill's edges when the renderer blends
    them; disjoint pieces of one path keep every edge exactly where the design has it.
    """
    boxes = [(min(x for x, _ in r), min(y for _, y in r), max(x for x, _ in r),
              max(y for _, y in r)) for r in rects]
    xs = sorted({b[0] for b in boxes} | {b[2] for b in boxes})
    ys = sorted({b[1] for b in boxes} | {b[3] for b in boxes})

    def filled(x0, y0, x1, y1):
        cx, cy = (x0 + x1) / 2, (y0 + y1) / 2
        return any(b[0] < cx < b[2] and b[1] < cy < b[3] for b in boxes)

    # Horizontal runs per band, then bands with the same run merged downwards.
    runs = []  # (x0, x1, y0, y1)
    for y0, y1 in zip(ys, ys[1:]):
        row = []
        start = None
        for x0, x1 in zip(xs, xs[1:]):
            if filled(x0, y0, x1, y1):
                start = x0 if start is None else start
                end = x1
            elif start is not None:
                row.append((start, end))
                start = None
        if start is not None:
            row.append((start, end))
        for x0, x1 in row:
            for i, (rx0, rx1, ry0, ry1) in enumerate(runs):
                if (rx0, rx1, ry1) == (x0, x1, y0):
                    runs[i] = (rx0, rx1, ry0, y1)
                    break
            else:
                runs.append((x0, x1, y0, y1))
    return [rect(x0, y0, x1, y1) for x0, x1, y0, y1 in runs]


def mirror_x(polys):
    return [[(WIDTH - x, y) for x, y in p] for p in polys]


def mirror_y(polys):
    return [[(x, HEIGHT - y) for x, y in p] for p in polys]


def arrow_up():
    shaft = rect(CX - SINGLE_V // 2, 340, CX + SINGLE_V // 2, 660)  # starts where the head ends
    head = [(CX, 120), (360, 340), (40, 340)]
    return [shaft, head]


def arrow_right():
    shaft = rect(40, CY - SINGLE_H // 2, 200, CY + SINGLE_H // 2)
    head = [(370, CY), (200, CY - 130), (200, CY + 130)]
    return [shaft, head]


def pointer_right():
    return [[(60, 200), (360, CY), (60, 600)]]


def pointer_up():
    return [[(CX, 250), (370, 560), (30, 560)]]


def designs():
    pictures = {code: disjoint(box_piece(*arms)) for code, arms in BOX.items()}
    pictures.update({
        176: disjoint(shade(1)), 177: disjoint(shade(2)), 178: disjoint(shade(3)),
        219: [rect(0, 0, WIDTH, HEIGHT)],          # █
        220: [rect(0, CY, WIDTH, HEIGHT)],         # ▄ (a letter code, never written)
        221: [rect(0, 0, CX, HEIGHT)],             # ▌
        222: [rect(CX, 0, WIDTH, HEIGHT)],         # ▐
        223: [rect(0, 0, WIDTH, CY)],              # ▀ (a letter code, never written)
        254: [rect(80, 267, 320, 533)],            # ■
        24: arrow_up(), 25: mirror_y(arrow_up()),              # ↑ ↓
        26: arrow_right(), 27: mirror_x(arrow_right()),        # → ←
        16: pointer_right(), 17: mirror_x(pointer_right()),    # ► ◄
        30: pointer_up(), 31: mirror_y(pointer_up()),          # ▲ ▼
    })
    return {code: polys for code, polys in sorted(pictures.items()) if code not in LETTER_CODES}


# --- EMF records -------------------------------------------------------------------------------

EMR_HEADER, EMR_POLYPOLYGON, EMR_EOF = 1, 8, 14
EMR_SETMAPMODE, EMR_SETBKMODE, EMR_SETPOLYFILLMODE = 17, 18, 19
EMR_SELECTOBJECT, EMR_CREATEBRUSHINDIRECT, EMR_DELETEOBJECT = 37, 39, 40
NULL_PEN = 0x80000008
MM_TEXT, TRANSPARENT, WINDING, BS_SOLID = 1, 1, 2, 0


def record(kind, payload=b""):
    return struct.pack("<II", kind, 8 + len(payload)) + payload


def poly_polygon(polys):
    """All shapes of a picture as one filled path: the renderer then computes each pixel's
    coverage from the whole shape, with no seams where pieces touch."""
    points = [pt for p in polys for pt in p]
    xs = [x for x, _ in points]
    ys = [y for _, y in points]
    payload = struct.pack("<iiiiII", min(xs), min(ys), max(xs), max(ys), len(polys), len(points))
    payload += b"".join(struct.pack("<I", len(p)) for p in polys)
    payload += b"".join(struct.pack("<ii", x, y) for x, y in points)
    return record(EMR_POLYPOLYGON, payload)


def layered_emf(width, height, layers):
    """An EMF of filled polygons on a width x height grid: `layers` is a list of ((r, g, b),
    polygons), each drawn with a solid brush of its own, in order, with the null pen."""
    body = [
        record(EMR_SETMAPMODE, struct.pack("<I", MM_TEXT)),
        record(EMR_SETBKMODE, struct.pack("<I", TRANSPARENT)),
        record(EMR_SETPOLYFILLMODE, struct.pack("<I", WINDING)),
        record(EMR_SELECTOBJECT, struct.pack("<I", NULL_PEN)),
    ]
    for handle, ((r, g, b), polys) in enumerate(layers, start=1):
        colour = r | (g << 8) | (b << 16)
        body.append(record(EMR_CREATEBRUSHINDIRECT, struct.pack("<IIII", handle, BS_SOLID, colour, 0)))
        body.append(record(EMR_SELECTOBJECT, struct.pack("<I", handle)))
        body.append(poly_polygon(polys))
    for handle in range(1, len(layers) + 1):
        body.append(record(EMR_DELETEOBJECT, struct.pack("<I", handle)))
    body.append(record(EMR_EOF, struct.pack("<III", 0, 16, 20)))

    header_size = 108
    total = header_size + sum(len(r) for r in body)
    # Reference device: 1000 x 1000 pixels on 10 x 10 mm, so one logical unit is 0.01 mm and
    # the frame (in 0.01 mm) equals the picture's extent in logical units.
    header = struct.pack(
        "<II4i4iIIIIHHIIIiiiiIIIii",
        EMR_HEADER, header_size,
        0, 0, width - 1, height - 1,        # bounds, inclusive device pixels
        0, 0, width, height,                # frame in 0.01 mm: the whole design grid
        0x464D4520, 0x10000,                # " EMF", version
        total, len(body) + 1, len(layers) + 1, 0,  # bytes, records, handles, reserved
        0, 0, 0,                            # description, palette entries
        1000, 1000, 10, 10,                 # device size in pixels and millimetres
        0, 0, 0,                            # pixel format, OpenGL
        10000, 10000)                       # device size in micrometres
    assert len(header) == header_size
    return header + b"".join(body)


def emf(polys):
    return layered_emf(WIDTH, HEIGHT, [((0, 0, 0), polys)])


def main(argv):
    if len(argv) != 2:
        print(__doc__, file=sys.stderr)
        return 2
    pictures = designs()
    if argv[1] == "--list":
        print("\n".join(str(code) for code in pictures))
        return 0
    out = Path(argv[1])
    out.mkdir(parents=True, exist_ok=True)
    # The folder holds glyph pictures only; drop any a former design had but this one has not
    # (a stale picture for a letter code would turn that letter into a frame piece).
    wanted = {f"{code}.emf" for code in pictures}
    for old in out.glob("*.emf"):
        if old.name not in wanted:
            old.unlink()
    for code, polys in pictures.items():
        data = emf(polys)
        target = out / f"{code}.emf"
        tmp = target.with_suffix(".tmp")
        tmp.write_bytes(data)
        tmp.replace(target)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
