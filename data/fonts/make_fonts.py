#!/usr/bin/python3
"""Builds the program's four fonts in the kit's "bgi7" folder from free Debian font packages,
renamed to the face names the program asks for (the source licences forbid keeping the original
or reserved names in modified fonts) with their copyright and licence notices kept.

Usage: make_fonts.py OUTPUT_FOLDER   writes the five font files into OUTPUT_FOLDER
       make_fonts.py --sources       prints the source font files, one a line
"""

import sys
from pathlib import Path

from fontTools.pens.cu2quPen import Cu2QuPen
from fontTools.pens.recordingPen import DecomposingRecordingPen
from fontTools.pens.transformPen import TransformPen
from fontTools.pens.ttGlyphPen import TTGlyphPen
from fontTools.ttLib import TTFont, newTable

DEJAVU = "/usr/share/fonts/truetype/dejavu"
# Font file, face name, style, source file, Debian package of the source, and the code points the
# school script's letter shaping writes (code point -> glyph of the intended letter).
SCHOOL_VARIANTS = {
    # Shapes of "s" at the start and end of a word and before "t".
    0x00B1: "s", 0x00B2: "s", 0x00B3: "s", 0x00B4: "s", 0x00B5: "s",
    # "t" before "z".
    0x00AA: "t",
    # "ß" before "t" ("&") and before another joining letter ("\").
    0x0026: "germandbls", 0x005C: "germandbls",
    # The euro sign travels as 0xEA through the shaping.
    0x00EA: "Euro",
}

FONTS = [
    {
        "file": "vududed.ttf", "family": "VUDUDED", "style": "Bold",
        "source": f"{DEJAVU}/DejaVuSansMono-Bold.ttf", "package": "fonts-dejavu-core",
        "origin": "DejaVu Sans Mono Bold",
    },
    {
        "file": "vareruvir.TTF", "family": "ZOZE DOS VA", "style": "Regular",
        "source": "/usr/share/fonts/opentype/dancingscript/DancingScript-Regular.otf",
        "package": "fonts-dancingscript", "origin": "Dancing Script Regular",
        "variants": SCHOOL_VARIANTS,
    },
    {
        "file": "darizodev.TTF", "family": "DARIZODEV", "style": "Regular",
        "source": f"{DEJAVU}/DejaVuSans.ttf", "package": "fonts-dejavu-core",
        "origin": "DejaVu Sans",
    },
    {
        "file": "zuvurevuz.TTF", "family": "ZUVUREVUZ", "style": "Regular",
        "source": f"{DEJAVU}/DejaVuSans.ttf", "package": "fonts-dejavu-core",
        "origin": "DejaVu Sans", "fractions": True,
    },
    {
        "file": "lueckentext.TTF", "family": "LUECKENTEXT", "style": "Regular",
        "source": "/usr/share/fonts/truetype/andika/Andika-Regular.ttf",
        "package": "fonts-sil-andika", "origin": "Andika Regular",
    },
]

# Name records that carry the font's name; all others (copyright, licence, trademark, designer,
# URLs, feature names) stay as they are.
NAME_IDS = {1, 2, 3, 4, 6, 16, 17, 18, 20, 21, 22, 25}


def to_truetype(font):
    """Cubic (CFF) outlines to quadratic TrueType outlines, so every file is a TrueType font."""
    if "CFF " not in font:
        return
    order = font.getGlyphOrder()
    glyph_set = font.getGlyphSet()
    glyf = newTable("glyf")
    glyf.glyphOrder = order
    glyf.glyphs = {}
    for name in order:
        pen = TTGlyphPen(None)
        glyph_set[name].draw(Cu2QuPen(pen, max_err=1.0, reverse_direction=True))
        glyf[name] = pen.glyph()
    font["loca"] = newTable("loca")
    font["glyf"] = glyf
    maxp = newTable("maxp")
    maxp.tableVersion = 0x00010000
    maxp.maxZones = 1
    maxp.maxTwilightPoints = 0
    maxp.maxStorage = 0
    maxp.maxFunctionDefs = 0
    maxp.maxInstructionDefs = 0
    maxp.maxStackElements = 0
    maxp.maxSizeOfInstructions = 0
    maxp.maxComponentElements = max(
        (len(getattr(g, "components", None) or []) for g in glyf.glyphs.values()), default=0)
    font["maxp"] = maxp
    font["head"].glyphDataFormat = 0
    del font["CFF "]
    if "VORG" in font:
        del font["VORG"]
    post = font["post"]
    post.formatType = 2.0
    post.extraNames = []
    post.mapping = {}
    post.glyphOrder = order
    font.sfntVersion = "\x00\x01\x00\x00"


def rename(font, recipe):
    family, style = recipe["family"], recipe["style"]
    full = family if style == "Regular" else f"{family} {style}"
    postscript = full.replace(" ", "") if style == "Regular" else \
        f"{family.replace(' ', '')}-{style}"
    table = font["name"]
    description = (f"Derived from {recipe['origin']} (Debian package {recipe['package']}): renamed, "
                   "as its licence requires for modified versions, for the Radevir arithmetic "
                   "trainer.")
    table.names = [n for n in table.names if n.nameID not in NAME_IDS and n.nameID != 10]
    records = {1: family, 2: style, 3: f"Radevir: {full}", 4: full, 6: postscript,
               10: description}
    for name_id, value in records.items():
        table.setName(value, name_id, 3, 1, 0x409)
        table.setName(value, name_id, 1, 0, 0)
    if "CFF " in font:  # keep the outline table's own name in line until it is converted
        font["CFF "].cff.fontNames = [postscript]


def add_variants(font, variants):
    """Maps the shaping's spare codes to the glyphs of the letters they stand for."""
    glyphs = set(font.getGlyphOrder())
    for code, glyph in variants.items():
        if glyph not in glyphs:
            raise SystemExit(f"make_fonts: glyph {glyph!r} missing in the school font source")
        for table in font["cmap"].tables:
            if table.isUnicode():
                table.cmap[code] = glyph


# The fractions font: one glyph per fraction "n/d" (numerator 0-20, denominator 1-20) at the
# private-use code FRACTION_BASE + n * 32 + d; the printer turns "3/4" in a fractions-font line
# into that code. Numerator and denominator are the font's own digits made small, on either side
# of its fraction slash.
FRACTION_BASE = 0xE000
FRACTION_NUMERATORS = range(0, 21)
FRACTION_DENOMINATORS = range(1, 21)
DIGIT_NAMES = ["zero", "one", "two", "three", "four", "five", "six", "seven", "eight", "nine"]
FRACTION_SCALE = 0.6


def add_fractions(font):
    glyph_set = font.getGlyphSet()
    glyf, hmtx = font["glyf"], font["hmtx"]
    upem = font["head"].unitsPerEm
    digit_width = hmtx[DIGIT_NAMES[0]][0]
    slash = "fraction" if "fraction" in glyph_set else "slash"
    slash_width = hmtx[slash][0]
    small = digit_width * FRACTION_SCALE
    order = list(font.getGlyphOrder())

    def draw(pen, glyph_name, dx, dy, scale):
        recording = DecomposingRecordingPen(glyph_set)
        glyph_set[glyph_name].draw(recording)
        recording.replay(TransformPen(pen, (scale, 0, 0, scale, dx, dy)))

    for n in FRACTION_NUMERATORS:
        for d in FRACTION_DENOMINATORS:
            top, bottom = str(n), str(d)
            pen = TTGlyphPen(None)
            numerator_width = small * len(top)
            # the numerator stands on the upper half, the denominator on the baseline
            x = 0.0
            for ch in top:
                draw(pen, DIGIT_NAMES[int(ch)], x, upem * 0.33, FRACTION_SCALE)
                x += small
            slash_x = numerator_width - slash_width * 0.25
            draw(pen, slash, slash_x, 0, 1.0)
            x = slash_x + slash_width * 0.75
            for ch in bottom:
                draw(pen, DIGIT_NAMES[int(ch)], x, 0, FRACTION_SCALE)
                x += small
            name = f"frac_{n}_{d}"
            glyf[name] = pen.glyph()
            glyf[name].recalcBounds(glyf)
            hmtx[name] = (int(round(x + small * 0.2)), getattr(glyf[name], "xMin", 0))
            order.append(name)
            for table in font["cmap"].tables:
                if table.isUnicode():
                    table.cmap[FRACTION_BASE + n * 32 + d] = name
    glyf.glyphOrder = order
    font.setGlyphOrder(order)
    # tables that list every glyph and are only hints for old rasterisers
    for tag in ("hdmx", "LTSH", "VDMX"):
        if tag in font:
            del font[tag]


def build(recipe, out_folder):
    source = Path(recipe["source"])
    if not source.is_file():
        raise SystemExit(f"make_fonts: {source} missing; install the Debian package "
                         f"{recipe['package']} (scripts/install-deps.sh)")
    font = TTFont(str(source), recalcTimestamp=False)
    rename(font, recipe)
    if "variants" in recipe:
        add_variants(font, recipe["variants"])
    to_truetype(font)
    if recipe.get("fractions"):
        add_fractions(font)
    target = out_folder / recipe["file"]
    tmp = target.with_name(target.name + ".tmp")
    font.save(str(tmp))
    tmp.replace(target)


def main(argv):
    if len(argv) != 2:
        print(__doc__, file=sys.stderr)
        return 2
    if argv[1] == "--sources":
        print("\n".join(recipe["source"] for recipe in FONTS))
        return 0
    out = Path(argv[1])
    out.mkdir(parents=True, exist_ok=True)
    for recipe in FONTS:
        build(recipe, out)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
