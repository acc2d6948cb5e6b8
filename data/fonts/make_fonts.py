#!/usr/bin/env python3
"""Builds the two private fonts of Kvimarot from the DejaVu fonts of the system.

  atm.ttf      face "ATM": the astrological glyphs, each at the character code
               the chart drawing uses for it (bodies, signs, house numbers and
               house-cusp points).
  daycour.ttf  face "Day New": a monospaced Latin + Cyrillic text face made from
               DejaVu Sans Mono, with the box-drawing characters of code page 866.

Usage: python3 make_fonts.py [output-folder]   (default: the folder of this script)

Needs Debian's fonts-dejavu-core, fonts-dejavu-extra, python3-fontforge and
python3-fonttools. The fonts are committed, so this only runs when they change.
"""

import math
import os
import subprocess
import sys
import unicodedata
import tempfile

# Debian's python modules live with the system interpreter; a python3 of a
# version manager earlier on PATH cannot see them, so hand over to it.
try:
    os.environ.setdefault("SOURCE_DATE_EPOCH", "1704067200")  # fixed timestamps: rebuilds are byte-stable
    import fontforge
    import psMat
    from fontTools.ttLib import TTFont
    from fontTools import subset as ft_subset
except ImportError:
    if os.path.exists("/usr/bin/python3") and os.path.realpath(sys.executable) != os.path.realpath("/usr/bin/python3"):
        os.execv("/usr/bin/python3", ["/usr/bin/python3"] + sys.argv)
    sys.stderr.write("make_fonts.py: needs python3-fontforge and python3-fonttools (apt-get install them)\n")
    sys.exit(1)

# --- Metrics of the symbol face ------------------------------------------------
# The wheel puts a glyph's cell with its top-left corner at
# (x - average width / 2, y - cell height / 2), so every symbol has the same
# advance (which is also xAvgCharWidth) and sits in the middle of its cell.
EM = 2048
ASCENT = 1638          # ascent + descent = em: the cell height is the font height
DESCENT = 410
CELL_MID_Y = (ASCENT - DESCENT) / 2.0
ADVANCE = 1700         # one advance for every symbol
MAX_W = 1500           # a glyph's box never comes closer than 100 units to the cell edge
# The symbols stand beside digits of the text face, so they are as tall as its capitals:
# DejaVu draws its own symbols on the cap height (a few with a tail below, as letters
# have descenders), and digits and letters keep their own size.
CAP_H = 1493           # cap height of DejaVu Sans and Sans Mono (both 2048 units per em)
TALL_H = 1650          # symbols with a tail stay this short, so that they fit the rings
MARK_W = 1640          # marks of letters may come closer to the cell edge than symbols
MIN_ASPECT = 0.7       # wide text marks are squeezed at most to this x/y ratio, then shrunk
# The wheel draws its glyphs at R1 / 10 = one em, upright at any angle: all ink of a
# sign glyph lies within this distance of the cell centre so that it stays inside the
# zodiac ring (1 em wide) with room for its rim, and of a house number inside the
# house ring (R3 / 10, about 0.87 em wide).
SIGN_R = 915
HOUSE_R = 855
HOUSE_MIN_ASPECT = 0.65  # "10" to "12" are squeezed further before they shrink
SPACE_ADVANCE = 850
DRAWN_H = 1350         # height of the main part of our own drawings in their drawing units
STROKE = 150           # stroke width there, matching DejaVu's symbols once scaled to CAP_H

FAMILY_SYM = "ATM"
FAMILY_TEXT = "Day New"
PS_TEXT = "DayNew"

DEJAVU_DIRS = [
    "/usr/share/fonts/truetype/dejavu",
    "/usr/share/fonts/dejavu",
    "/usr/local/share/fonts/dejavu",
]

# Bodies 1 to 16 in the chart's numbering: character, glyph name, source.
# A source is a code point of DejaVu Sans or the name of a drawing routine here.
BODIES = [
    ("p", "sun", 0x2609),
    ("q", "moon", 0x263D),
    ("r", "mercury", 0x263F),
    ("s", "venus", 0x2640),
    ("t", "mars", 0x2642),
    ("u", "jupiter", 0x2643),
    ("v", "saturn", 0x2644),
    ("w", "uranus", 0x2645),
    ("x", "neptune", 0x2646),
    ("y", "pluto", 0x2647),
    ("\\", "northnode", 0x260A),
    ("_", "selena", "draw_selena"),
    ("Z", "chiron", 0x26B7),
    ("[", "proserpina", "draw_proserpina"),
    ("^", "lilith", 0x26B8),
    ("]", "southnode", 0x260B),
]

SIGNS = ["aries", "taurus", "gemini", "cancer", "leo", "virgo",
         "libra", "scorpio", "sagittarius", "capricorn", "aquarius", "pisces"]

# Points 17 to 28 are the cusps of houses 1 to 12 (1 the Ascendant, 10 the MC).
CUSP_CHARS = ["l", "a", "b", "o", "d", "e", "m", "g", "h", "n", "j", "k"]
CUSP_MARKS = ["AC", "II", "III", "IC", "V", "VI", "DC", "VIII", "IX", "MC", "XI", "XII"]


def find_dejavu(file_name):
    for d in DEJAVU_DIRS:
        p = os.path.join(d, file_name)
        if os.path.exists(p):
            return p
    try:
        out = subprocess.run(["fc-list", ":", "file"], capture_output=True, text=True, check=False).stdout
        for line in out.splitlines():
            p = line.split(":")[0].strip()
            if os.path.basename(p) == file_name:
                return p
    except OSError:
        pass
    sys.stderr.write("make_fonts.py: %s not found (install fonts-dejavu-core and fonts-dejavu-extra)\n" % file_name)
    sys.exit(1)


# --- Outline helpers ------------------------------------------------------------

def arc_contour(contour, cx, cy, r, a0, a1, start=True):
    """Appends a circular arc from angle a0 to a1 (degrees, either direction) as cubic pieces."""
    steps = max(1, int(math.ceil(abs(a1 - a0) / 45.0)))
    t0 = math.radians(a0)
    if start:
        contour.moveTo(cx + r * math.cos(t0), cy + r * math.sin(t0))
    for i in range(steps):
        ta = math.radians(a0 + (a1 - a0) * i / steps)
        tb = math.radians(a0 + (a1 - a0) * (i + 1) / steps)
        k = 4.0 / 3.0 * math.tan((tb - ta) / 4.0)
        p0 = (cx + r * math.cos(ta), cy + r * math.sin(ta))
        p3 = (cx + r * math.cos(tb), cy + r * math.sin(tb))
        p1 = (p0[0] - k * r * math.sin(ta), p0[1] + k * r * math.cos(ta))
        p2 = (p3[0] + k * r * math.sin(tb), p3[1] - k * r * math.cos(tb))
        contour.cubicTo(p1, p2, p3)


def crescent(cx, cy, big_r, bite_dx, bite_r, clockwise):
    """Closed crescent: a disc of radius big_r less a disc of radius bite_r whose
    centre lies bite_dx to the right; the horns point right."""
    x = (big_r * big_r - bite_r * bite_r + bite_dx * bite_dx) / (2.0 * bite_dx)
    y = math.sqrt(max(0.0, big_r * big_r - x * x))
    a_outer = math.degrees(math.atan2(y, x))
    a_bite = math.degrees(math.atan2(y, x - bite_dx))
    c = fontforge.contour()
    # Outer arc over the left side from the upper horn to the lower one,
    # then back along the bite through its leftmost point.
    arc_contour(c, cx, cy, big_r, a_outer, 360.0 - a_outer)
    arc_contour(c, cx + bite_dx, cy, bite_r, 360.0 - a_bite, a_bite, start=False)
    c.closed = True
    if c.isClockwise() != clockwise:
        c.reverseDirection()
    return c


def rect(x0, y0, x1, y1):
    c = fontforge.contour()
    c.moveTo(x0, y0)
    c.lineTo(x0, y1)
    c.lineTo(x1, y1)
    c.lineTo(x1, y0)
    c.closed = True
    if not c.isClockwise():
        c.reverseDirection()
    return c


def stroked(path_contours, width):
    """Outlines of open centre lines stroked with a round pen."""
    layer = fontforge.layer()
    for c in path_contours:
        layer += c
    layer.stroke("circular", width, "round", "round")
    return layer


def clean(glyph):
    glyph.removeOverlap()
    glyph.correctDirection()
    glyph.addExtrema()
    glyph.round()


def ink_radius(glyph):
    """Largest distance of the outline from the origin (curves followed, not their handles)."""
    far = 0.0
    for contour in glyph.foreground:
        pts = list(contour)
        n = len(pts)
        start = next((i for i, pt in enumerate(pts) if pt.on_curve), None)
        if start is None:
            continue
        i = 0
        while i < n:
            p0 = pts[(start + i) % n]
            handles = []
            j = i + 1
            while not pts[(start + j) % n].on_curve:
                handles.append(pts[(start + j) % n])
                j += 1
            p3 = pts[(start + j) % n]
            ctrl = [(p0.x, p0.y)] + [(h.x, h.y) for h in handles] + [(p3.x, p3.y)]
            for k in range(17):
                t = k / 16.0
                q = ctrl
                while len(q) > 1:  # de Casteljau for a curve of any degree
                    q = [((1 - t) * a[0] + t * b[0], (1 - t) * a[1] + t * b[1]) for a, b in zip(q, q[1:])]
                far = max(far, math.hypot(q[0][0], q[0][1]))
            i = j
    return far


def place(glyph, text_like=False, max_r=None, min_aspect=MIN_ASPECT):
    """Sizes a glyph like a letter of the text face and centres it in its cell.

    Digits and letters keep the size they have in DejaVu. A symbol keeps its size
    too unless it is smaller than a capital in both directions (then it grows to the
    cap height or to the widest box); anything too wide, too tall or, with max_r,
    reaching too far from the centre shrinks."""
    xmin, ymin, xmax, ymax = glyph.boundingBox()
    w, h = xmax - xmin, ymax - ymin
    sx = sy = 1.0
    if not text_like and h < CAP_H and w < MAX_W:
        sx = sy = min(CAP_H / h, MAX_W / w)
    if text_like and w * sx > MARK_W:
        # Strings of letters are squeezed a little before they are shrunk.
        sx = MARK_W / w
        if sx < min_aspect * sy:
            sy = sx / min_aspect
    elif not text_like and w * sx > MAX_W:
        sx = sy = MAX_W / w
    if h * sy > TALL_H:
        shrink = TALL_H / (h * sy)
        sx, sy = sx * shrink, sy * shrink
    glyph.transform(psMat.translate(-(xmin + xmax) / 2.0, -(ymin + ymax) / 2.0))
    glyph.transform(psMat.scale(sx, sy))
    if max_r is not None:
        r = ink_radius(glyph)
        if r > max_r:
            glyph.transform(psMat.scale(max_r / r))
    glyph.transform(psMat.translate(ADVANCE / 2.0, CELL_MID_Y))
    glyph.width = ADVANCE
    glyph.round()
    # Rounding may move the box by a unit; centre it exactly again.
    xmin, ymin, xmax, ymax = glyph.boundingBox()
    dx = round(ADVANCE / 2.0 - (xmin + xmax) / 2.0)
    dy = round(CELL_MID_Y - (ymin + ymax) / 2.0)
    if dx or dy:
        glyph.transform(psMat.translate(dx, dy))
    glyph.width = ADVANCE


def copy_outline(src_glyph, dst_glyph, dx=0):
    layer = src_glyph.foreground.dup()
    layer.is_quadratic = False
    if dx:
        layer.transform(psMat.translate(dx, 0))
    dst_glyph.foreground += layer


def compose_text(face, dst_glyph, text, tighten):
    """Sets a short string of DejaVu letters or digits side by side."""
    x = 0.0
    for ch in text:
        g = face[ord(ch)]
        copy_outline(g, dst_glyph, x)
        x += g.width - tighten


# --- Glyphs of our own ----------------------------------------------------------

def to_cap(glyph):
    """Brings a drawing from its drawing units to the size of DejaVu's symbols."""
    glyph.transform(psMat.scale(CAP_H / DRAWN_H))


def draw_selena(glyph):
    """The White Moon: an outlined crescent (horns right) over a small cross,
    the open counterpart of Lilith's black crescent."""
    layer = fontforge.layer()
    big_r, bite_dx, bite_r = 520.0, 380.0, 440.0
    cy = 830.0
    rim = STROKE * 0.8   # as light as the outlined Moon, so that the opening stays visible
    layer += crescent(0, cy, big_r, bite_dx, bite_r, clockwise=True)
    layer += crescent(0, cy, big_r - rim, bite_dx, bite_r + rim, clockwise=False)
    # Stem from the bottom of the crescent and the cross bar.
    bottom_x = -40.0
    bottom_y = cy - math.sqrt(big_r * big_r - bottom_x * bottom_x)
    half = STROKE / 2.0
    layer += rect(bottom_x - half, -200, bottom_x + half, bottom_y + STROKE * 0.6)
    layer += rect(bottom_x - 260, 40, bottom_x + 260, 40 + STROKE)
    glyph.foreground = layer
    to_cap(glyph)
    clean(glyph)


def draw_proserpina(glyph):
    """Proserpina: a P whose stem stands in a crescent cup (horns up)."""
    stem_x, top, mid = 0.0, 1300.0, 720.0
    bowl_r = (top - mid) / 2.0
    bowl_cx = stem_x + 200.0
    lines = []
    c = fontforge.contour()
    c.moveTo(stem_x, 100)
    c.lineTo(stem_x, top)
    c.lineTo(bowl_cx, top)
    arc_contour(c, bowl_cx, top - bowl_r, bowl_r, 90.0, -90.0, start=False)
    c.lineTo(stem_x, mid)
    c.closed = False
    lines.append(c)
    layer = stroked(lines, STROKE)
    # Cup: a crescent turned so that its horns point up, under the stem.
    cup = fontforge.layer()
    cup += crescent(0, 0, 430.0, 230.0, 400.0, clockwise=True)
    cup.transform(psMat.rotate(math.radians(90)))
    cup.transform(psMat.translate(stem_x, 330.0))
    layer += cup
    glyph.foreground = layer
    to_cap(glyph)
    clean(glyph)


# --- The symbol face ------------------------------------------------------------

def build_atm(out_path):
    sans = fontforge.open(find_dejavu("DejaVuSans.ttf"))
    # Marks of several characters come from the condensed cut, so they need no squeezing.
    narrow = fontforge.open(find_dejavu("DejaVuSansCondensed.ttf"))
    for face in (sans, narrow):
        for g in face.glyphs():
            if g.references:
                g.unlinkRef()

    f = fontforge.font()
    f.encoding = "UnicodeBmp"
    f.em = EM
    f.ascent = ASCENT
    f.descent = DESCENT
    f.familyname = FAMILY_SYM
    f.fontname = FAMILY_SYM
    f.fullname = FAMILY_SYM
    f.weight = "Regular"
    f.version = "1.0"
    f.copyright = ("Astrological glyphs for Kvimarot. Outlines derived from DejaVu Sans: "
                   "Copyright (c) 2003 by Bitstream, Inc. All Rights Reserved. "
                   "DejaVu changes are in public domain.")
    for attr, val in (("os2_winascent", ASCENT), ("os2_windescent", DESCENT),
                      ("os2_typoascent", ASCENT), ("os2_typodescent", -DESCENT),
                      ("os2_typolinegap", 0), ("hhea_ascent", ASCENT),
                      ("hhea_descent", -DESCENT), ("hhea_linegap", 0)):
        setattr(f, attr, val)
    for attr in ("os2_winascent_add", "os2_windescent_add", "os2_typoascent_add",
                 "os2_typodescent_add", "hhea_ascent_add", "hhea_descent_add"):
        setattr(f, attr, False)
    f.os2_use_typo_metrics = True
    f.os2_vendor = "KVIM"

    def new_glyph(ch, name):
        g = f.createChar(ord(ch), name)
        g.width = ADVANCE
        return g

    for ch, name, source in BODIES:
        g = new_glyph(ch, name)
        if isinstance(source, int):
            copy_outline(sans[source], g)
            clean(g)
        else:
            globals()[source](g)
        place(g)

    for i, name in enumerate(SIGNS):
        g = new_glyph(chr(78 + i), name)
        copy_outline(sans[0x2648 + i], g)
        clean(g)
        place(g, max_r=SIGN_R)

    # House numbers 1 to 12 at codes 49 to 60; "0" completes the digits so that
    # numbers measured in this face get sensible widths.
    digit_names = ["zero", "one", "two", "three", "four", "five", "six", "seven", "eight", "nine"]
    for n in range(0, 13):
        name = digit_names[n] if n < 10 else "house%d" % n
        g = new_glyph(chr(48 + n), name)
        compose_text(sans if n < 10 else narrow, g, str(n), tighten=200)
        clean(g)
        place(g, text_like=True, max_r=HOUSE_R, min_aspect=HOUSE_MIN_ASPECT)

    for ch, mark, house in zip(CUSP_CHARS, CUSP_MARKS, range(1, 13)):
        g = new_glyph(ch, "cusp%02d" % house)
        compose_text(narrow if len(mark) > 1 else sans, g, mark, tighten=40)
        clean(g)
        place(g, text_like=True)

    space = f.createChar(32, "space")
    space.width = SPACE_ADVANCE
    notdef = f.createChar(-1, ".notdef")
    notdef.width = ADVANCE

    with tempfile.TemporaryDirectory() as tmp:
        raw = os.path.join(tmp, "atm_raw.ttf")
        f.generate(raw, flags=("opentype",))
        finish(raw, out_path, FAMILY_SYM, FAMILY_SYM, avg_width=ADVANCE)
    f.close()
    sans.close()
    narrow.close()


# --- The text face --------------------------------------------------------------

def text_face_unicodes():
    cps = set(range(0x20, 0x7F))
    cps |= set(range(0xA0, 0x180))            # Latin-1 and Latin Extended-A
    cps |= set(range(0x400, 0x460))           # Cyrillic
    cps |= {0x490, 0x491}
    cps |= set(range(0x2010, 0x2028)) | set(range(0x2030, 0x203B))
    cps |= {0x20AC, 0x2116, 0x2122, 0x2219, 0x221A, 0x2248, 0x2260, 0x2264, 0x2265}
    cps |= set(range(0x2190, 0x2196))
    cps |= set(range(0x2500, 0x25A0))         # box drawing and block elements
    cps |= {0x25A0, 0x25B2, 0x25BA, 0x25BC, 0x25C4, 0x25CB, 0x25CF}
    # Everything the two 8-bit code pages of the program can hold.
    for codepage in ("cp1251", "cp866"):
        for b in range(0x20, 0x100):
            try:
                ch = bytes([b]).decode(codepage)
                if unicodedata.category(ch) != "Cc":
                    cps.add(ord(ch))
            except UnicodeDecodeError:
                pass
    return cps


def build_daycour(out_path):
    src = find_dejavu("DejaVuSansMono.ttf")
    font = TTFont(src)
    available = set(font.getBestCmap())
    wanted = sorted(text_face_unicodes() & available)
    opts = ft_subset.Options()
    opts.name_IDs = ["*"]
    opts.name_languages = ["*"]
    opts.notdef_outline = True
    opts.hinting = True
    opts.layout_features = ["*"]
    opts.glyph_names = True
    sub = ft_subset.Subsetter(opts)
    sub.populate(unicodes=wanted)
    sub.subset(font)
    with tempfile.TemporaryDirectory() as tmp:
        raw = os.path.join(tmp, "daycour_raw.ttf")
        font.save(raw)
        # The font licence asks modified copies to carry a name of their own.
        finish(raw, out_path, FAMILY_TEXT, PS_TEXT, avg_width=None,
               note="Reduced to Latin, Cyrillic and box drawing and renamed %s for Kvimarot." % FAMILY_TEXT)


# --- Common finishing -------------------------------------------------------------

def finish(raw_path, out_path, family, ps_name, avg_width, note=None):
    """Names, timestamps and the average width, which the font tools do not set as we need."""
    font = TTFont(raw_path)
    name = font["name"]
    keep_ids = {0, 5, 7, 8, 9, 10, 11, 12, 13, 14}
    name.names = [n for n in name.names if n.nameID in keep_ids]
    values = {1: family, 2: "Regular", 3: family + " Regular", 4: family, 6: ps_name}
    for name_id, text in values.items():
        name.setName(text, name_id, 3, 1, 0x409)
        name.setName(text, name_id, 1, 0, 0)
    if note:
        for rec in name.names:
            if rec.nameID == 0 and note not in rec.toUnicode():
                rec.string = rec.toUnicode() + " " + note
    if avg_width is not None:
        font["OS/2"].xAvgCharWidth = avg_width
    epoch = int(os.environ["SOURCE_DATE_EPOCH"])
    # head timestamps count seconds from 1904-01-01.
    stamp = epoch + 2082844800
    font["head"].created = stamp
    font["head"].modified = stamp
    for tag in ("FFTM",):
        if tag in font:
            del font[tag]
    font.recalcTimestamp = False
    font.save(out_path)


def main():
    out_dir = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    os.makedirs(out_dir, exist_ok=True)
    build_atm(os.path.join(out_dir, "atm.ttf"))
    build_daycour(os.path.join(out_dir, "daycour.ttf"))
    print("wrote %s and %s" % (os.path.join(out_dir, "atm.ttf"), os.path.join(out_dir, "daycour.ttf")))


if __name__ == "__main__":
    main()
