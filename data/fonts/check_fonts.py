#!/usr/bin/env python3
"""Checks the two private fonts of Kvimarot: face names, every character the
program draws with them, the common cell of the symbols and the fixed pitch of
the text face.

Usage: python3 check_fonts.py [font-folder]   (default: the folder of this script)
Exit status 0 when both fonts pass, 1 otherwise (each fault is printed).
"""

import os
import sys
import unicodedata

try:
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


def outline_key(font, glyph_name):
    coords, _ = font["glyf"][glyph_name].getCoordinates(font["glyf"])[:2]
    return tuple(coords)


def check_symbols(path):
    label = os.path.basename(path)
    font = TTFont(path)
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
        # Symbols of one visual size: none may shrink to a dot beside the others.
        if max(x1 - x0, y1 - y0) < 0.4 * (cell_top - cell_bottom):
            fault("%s is too small (%s)" % (what, box))
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
    for file_name, check in (("atm.ttf", check_symbols), ("daycour.ttf", check_text_face)):
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
