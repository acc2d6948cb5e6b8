#!/usr/bin/env python3
"""Checks the two private fonts of Kvimarot: face names, every character the
program draws with them, the common cell of the symbols, their size beside the
letters of the text face and within the rings of the wheel, and the fixed pitch
of the text face.

Usage: python3 check_fonts.py [font-folder]   (default: the folder of this script)
Exit status 0 when both fonts pass, 1 otherwise (each fault is printed).
"""

import math
import os
import sys
import unicodedata

try:
    from fontTools.pens.basePen import BasePen
    from fontTools.ttLib import TTFont
except ImportError:
    # Debian's python3-fonttools belongs to the system interpreter.
    if os.path.exists("/usr/bin/python3") and os.path.realpath(sys.executable) != os.path.realpath("/usr/bin/python3"):
        os.execv("/usr/bin/python3", ["/usr/bin/python3"] + sys.argv)
    print("check_fonts.py: needs python3-fonttools")
    sys.exit(1)

BODY_CHARS = "pqrstuvwxy\\_Z[^]"          # bodies 1 to 16
SIGN_CODES = range(78, 90)                 # Aries to Pisces
HOUSE_CODES = range(49, 61)                # house numbers 1 to 12
CUSP_CHARS = "labodemghnjk"                # points 17 to 28, "l" Ascendant, "n" MC

# Sizes in em of the symbol face, which the wheel draws at R1 / 10. A symbol is as
# tall as a capital of the text face at the same pixel size unless the cell or a ring
# of the wheel leaves no room for that; one with a tail may reach a little further.
MIN_FILL = 0.92            # of the cap height
MAX_TALL = 1.15            # of the cap height
WIDE = 0.85                # of the advance: a glyph this wide has filled its cell
# The zodiac ring is R1 - 0.9 R1 = 1 em wide and a sign glyph gets a rim of 1/18 em
# around it; the house ring is R3 / 10 = 0.874 em wide. Glyphs are drawn upright at
# any angle, so their ink must stay within a circle around the cell centre.
SIGN_RING_R = 0.45
HOUSE_RING_R = 0.42
RING_FILLED = 0.9          # of the ring's radius: a glyph this large has filled its ring

faults = []


def fault(text):
    faults.append(text)
    print("FAIL: " + text)


def family_names(font):
    names = {}
    for rec in font["name"].names:
        if rec.nameID in (1, 4, 6, 16):
            names.setdefault(rec.nameID, set()).add(rec.toUnicode())
    return names


def check_names(font, label, family, ps_name):
    names = family_names(font)
    for name_id, expected in ((1, family), (4, family), (6, ps_name)):
        got = names.get(name_id, set())
        if got != {expected}:
            fault("%s: name %d is %s, expected %r" % (label, name_id, sorted(got), expected))
    if 16 in names and names[16] != {family}:
        fault("%s: typographic family %s differs from %r" % (label, sorted(names[16]), family))


def outline_box(font, glyph_name):
    """(xMin, yMin, xMax, yMax) of a glyph with ink, None for an empty one."""
    glyf = font["glyf"]
    g = glyf[glyph_name]
    if g.numberOfContours == 0:
        return None
    g.recalcBounds(glyf)
    if g.xMax <= g.xMin or g.yMax <= g.yMin:
        return None
    return (g.xMin, g.yMin, g.xMax, g.yMax)


class _FarthestPen(BasePen):
    """Largest distance of an outline from a point, following its curves."""

    def __init__(self, glyph_set, cx, cy):
        super().__init__(glyph_set)
        self.cx, self.cy = cx, cy
        self.far = 0.0
        self.at = (0.0, 0.0)

    def _note(self, pt):
        self.far = max(self.far, math.hypot(pt[0] - self.cx, pt[1] - self.cy))
        self.at = pt

    def _moveTo(self, pt):
        self._note(pt)

    def _lineTo(self, pt):
        self._note(pt)

    def _curveToOne(self, a, b, c):
        p0 = self.at
        for k in range(1, 17):
            t = k / 16.0
            u = 1.0 - t
            self._note((u ** 3 * p0[0] + 3 * u * u * t * a[0] + 3 * u * t * t * b[0] + t ** 3 * c[0],
                        u ** 3 * p0[1] + 3 * u * u * t * a[1] + 3 * u * t * t * b[1] + t ** 3 * c[1]))

    def _qCurveToOne(self, a, c):
        p0 = self.at
        for k in range(1, 17):
            t = k / 16.0
            u = 1.0 - t
            self._note((u * u * p0[0] + 2 * u * t * a[0] + t * t * c[0],
                        u * u * p0[1] + 2 * u * t * a[1] + t * t * c[1]))


def ink_radius(font, glyph_name, cx, cy):
    glyph_set = font.getGlyphSet()
    pen = _FarthestPen(glyph_set, cx, cy)
    glyph_set[glyph_name].draw(pen)
    return pen.far


def cap_height_ratio(path):
    """Cap height of the text face ("H") in em, None when the face is unusable."""
    try:
        font = TTFont(path)
        box = outline_box(font, font.getBestCmap()[ord("H")])
        return None if box is None else (box[3] - box[1]) / font["head"].unitsPerEm
    except Exception:  # reported by the check of the text face itself
        return None


def outline_key(font, glyph_name):
    coords, _ = font["glyf"][glyph_name].getCoordinates(font["glyf"])[:2]
    return tuple(coords)


def check_symbols(path, cap_ratio):
    label = os.path.basename(path)
    font = TTFont(path)
    em = font["head"].unitsPerEm
    ring_of = {}
    for cp in SIGN_CODES:
        ring_of[cp] = ("zodiac", SIGN_RING_R * em)
    for cp in HOUSE_CODES:
        ring_of[cp] = ("house", HOUSE_RING_R * em)
    check_names(font, label, "ATM", "ATM")
    cmap = font.getBestCmap()
    hmtx = font["hmtx"]
    required = ([ord(c) for c in BODY_CHARS] + list(SIGN_CODES) + list(HOUSE_CODES)
                + [ord(c) for c in CUSP_CHARS])
    if len(set(required)) != len(required):
        fault("%s: the table of required characters has doubles" % label)

    # The wheel centres a glyph by the average width and the cell height.
    os2 = font["OS/2"]
    cell_top, cell_bottom = os2.usWinAscent, -os2.usWinDescent
    avg = os2.xAvgCharWidth
    seen = {}
    for cp in required:
        what = "%s: character %r (%d)" % (label, chr(cp), cp)
        if cp not in cmap:
            fault(what + " has no glyph")
            continue
        name = cmap[cp]
        box = outline_box(font, name)
        if box is None:
            fault(what + " has an empty glyph")
            continue
        advance = hmtx[name][0]
        if advance != avg:
            fault("%s advance %d differs from the average width %d" % (what, advance, avg))
        x0, y0, x1, y1 = box
        if x0 < 0 or x1 > advance or y0 < cell_bottom or y1 > cell_top:
            fault("%s box %s leaves its cell" % (what, box))
        if abs((x0 + x1) - advance) > 4 or abs((y0 + y1) - (cell_top + cell_bottom)) > 4:
            fault("%s box %s is not centred in its cell" % (what, box))
        w, h = x1 - x0, y1 - y0
        reach = ink_radius(font, name, advance / 2.0, (cell_top + cell_bottom) / 2.0)
        ring, ring_r = ring_of.get(cp, (None, None))
        if ring and reach > ring_r:
            fault("%s reaches %d units from its centre, more than the %s ring holds (%d)"
                  % (what, reach, ring, ring_r))
        if cap_ratio:
            cap = cap_ratio * em
            filled = (h >= MIN_FILL * cap or w >= WIDE * advance
                      or (ring is not None and reach >= RING_FILLED * ring_r))
            if not filled:
                fault("%s is %d units high, small beside capitals of %d units" % (what, h, cap))
            if h > MAX_TALL * cap:
                fault("%s is %d units high, too tall beside capitals of %d units" % (what, h, cap))
        key = outline_key(font, name)
        if key in seen:
            fault("%s draws the same outline as %r" % (what, chr(seen[key])))
        seen[key] = cp

    if 32 not in cmap or hmtx[cmap[32]][0] <= 0:
        fault("%s: no space with a width" % label)
    for cp in range(48, 58):
        if cp not in cmap or outline_box(font, cmap[cp]) is None:
            fault("%s: digit %r missing" % (label, chr(cp)))
    return font


def text_face_required():
    cps = set(range(0x20, 0x7F))
    cps |= set(range(0x410, 0x450)) | {0x401, 0x451}
    for codepage in ("cp1251", "cp866"):
        for b in range(0x20, 0x100):
            try:
                ch = bytes([b]).decode(codepage)
                if unicodedata.category(ch) != "Cc":
                    cps.add(ord(ch))
            except UnicodeDecodeError:
                pass
    cps |= {0x2500, 0x2502, 0x250C, 0x2510, 0x2514, 0x2518, 0x251C, 0x2524, 0x252C, 0x2534, 0x253C,
            0x2550, 0x2551, 0x2554, 0x2557, 0x255A, 0x255D}
    return cps


def check_text_face(path):
    label = os.path.basename(path)
    font = TTFont(path)
    check_names(font, label, "Day New", "DayNew")
    cmap = font.getBestCmap()
    hmtx = font["hmtx"]
    blank = {0x20, 0xA0, 0xAD}
    for cp in sorted(text_face_required()):
        if cp not in cmap:
            fault("%s: U+%04X %r has no glyph" % (label, cp, chr(cp)))
        elif cp not in blank and outline_box(font, cmap[cp]) is None:
            fault("%s: U+%04X %r has an empty glyph" % (label, cp, chr(cp)))
    widths = {}
    for cp, name in cmap.items():
        widths.setdefault(hmtx[name][0], []).append(cp)
    if len(widths) != 1:
        summary = ", ".join("%d: %d glyphs (e.g. U+%04X)" % (w, len(c), c[0]) for w, c in sorted(widths.items()))
        fault("%s: not monospaced, advances %s" % (label, summary))
    if not font["post"].isFixedPitch:
        fault("%s: post table does not declare a fixed pitch" % label)
    return font


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    cap_ratio = cap_height_ratio(os.path.join(folder, "daycour.ttf"))
    checks = (("atm.ttf", lambda p: check_symbols(p, cap_ratio)), ("daycour.ttf", check_text_face))
    for file_name, check in checks:
        path = os.path.join(folder, file_name)
        if not os.path.exists(path):
            fault("%s is missing" % path)
            continue
        try:
            check(path)
        except Exception as exc:  # a damaged file is a failed check, not a crash
            fault("%s cannot be read: %s" % (path, exc))
    if faults:
        print("%d fault(s) in the fonts" % len(faults))
        return 1
    print("fonts OK: atm.ttf (ATM), daycour.ttf (Day New)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
