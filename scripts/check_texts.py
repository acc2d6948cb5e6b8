#!/usr/bin/env python3
"""Checks the shipped text collections and the help file (UTF-8 masters in data/texts).

  check_texts.py [--root DIR] [--files-only NAME...]

Reports every problem and exits 1 when there is one:
- every key of "kvinat" and "zdp" present exactly once and not empty for a man and
  for a woman (after the "#М"/"#Ж" parts are resolved);
- word counts within their ranges;
- no two texts equal, no sentence of eight or more words in more than two texts;
- no line longer than 72 characters, every character one code page 1251 has (the
  build writes the files in 866 through the pairing of the two pages);
- every help link pointing at an existing topic, every help key of the code and of
  the program's list having a topic, and "GenHelp" linking every topic.
"""

import argparse
import collections
import pathlib
import re
import sys

MAX_LINE = 72
TOPIC_KEY_LIMIT = 12

# Help keys every installation must explain, beside the ones found in the code.
REQUIRED_HELP = """GenHelp VV TEXT ShrTxt EDIT HZ HD DPL VibKart KAnk HBmp Town LCount DBasa
DBasaL DCorr CreatBD Varg InsP Orbis CorrOrb NewAsp NewOrbA DPrintS IntrSetup StUs K0t1
NoFEfem""".split()

# Help keys in the code: named constants such as  kHelpTown = "Town"  or
# kBirthDialogHelp = "VV".
HELP_CONSTANT = re.compile(r'\bk(?:Help\w*|\w+Help)\s*=\s*"([^"]+)"')


def kvinat_ranges():
    ranges = {"0": None, "000": None}
    for n in range(1, 17):
        ranges["IP%02d" % n] = None
        for s in range(1, 13):
            ranges["p%02dz%02d" % (n, s)] = (80, 200)
            ranges["p%02dh%02d" % (n, s)] = (60, 150)
    for s in range(1, 13):
        ranges["h01z%02d" % s] = (80, 200)
        ranges["h04z%02d" % s] = (80, 200)
    return ranges


def zdp_ranges():
    ranges = {}
    for n in range(1, 13):
        ranges["z%02d" % n] = None
    for n in range(0, 13):
        ranges["h%02d" % n] = None
    for n in range(1, 17):
        ranges["p%02d" % n] = None
        for s in range(1, 13):
            ranges["p%02dz%02d" % (n, s)] = (25, 80)
            ranges["p%02dh%02d" % (n, s)] = (25, 80)
    return ranges


COLLECTIONS = {"kvinat": kvinat_ranges, "zdp": zdp_ranges}


class Report:
    def __init__(self):
        self.problems = []

    def add(self, where, what):
        self.problems.append("%s: %s" % (where, what))


def read_master(path, report):
    try:
        text = path.read_text(encoding="utf-8")
    except (OSError, UnicodeDecodeError) as e:
        report.add(path.name, "cannot be read as UTF-8 (%s)" % e)
        return []
    lines = text.split("\n")
    if lines and lines[-1] == "":
        lines.pop()
    for i, line in enumerate(lines, 1):
        # A "FILES=" list is read by the program, not printed: it may run long.
        if len(line) > MAX_LINE and not (i == 1 and line.startswith("FILES=")):
            report.add("%s:%d" % (path.name, i), "line of %d characters" % len(line))
        try:
            line.encode("cp1251")
        except UnicodeEncodeError as e:
            report.add("%s:%d" % (path.name, i),
                       "character %r is not in code page 1251" % line[e.start])
        if "\t" in line or line != line.rstrip("\r"):
            report.add("%s:%d" % (path.name, i), "tab or carriage return")
    return lines


def files_of(first, lines):
    """The further files named by a "FILES=" first line (quoted names may hold blanks)."""
    if not lines or not lines[0].startswith("FILES="):
        return []
    return [a or b for a, b in re.findall(r'"([^"]*)"|(\S+)', lines[0][len("FILES="):])]


def entries(lines, start):
    """(key, text lines) for every key line of a collection file."""
    out = []
    i = start
    while i < len(lines):
        line = lines[i]
        if line.startswith("@") and not line.startswith("@@"):
            keys = line[1:].split("*", 1)[0].split()
            body = []
            i += 1
            while i < len(lines) and not lines[i].startswith("@"):
                body.append(lines[i])
                i += 1
            for k in keys:
                out.append((k[:30], body))
        else:
            i += 1
    return out


def resolve(body, sex):
    """The printed lines for sex 1 (man) or 2 (woman), as the text store gives them."""
    shown = []
    skip = False
    for line in body:
        if skip and not line.startswith("#"):
            continue
        if line.startswith("#М"):
            skip = sex != 1
        elif line.startswith("#Ж"):
            skip = sex != 2
        elif line.startswith("#"):
            if line[1:].strip() == "":
                skip = False
        elif not line.startswith("="):
            shown.append(line)
    return shown


WORD = re.compile(r"[0-9A-Za-zА-Яа-яЁё]")


def words(lines):
    return [w for w in " ".join(lines).split() if WORD.search(w)]


def sentences(lines):
    text = " ".join(l.strip() for l in lines)
    for piece in re.split(r"(?<=[.!?…])\s+", text):
        ws = [re.sub(r"[^0-9a-zа-яё-]", "", w.lower().replace("ё", "е")) for w in piece.split()]
        ws = [w for w in ws if w and w != "-"]
        if len(ws) >= 8:
            yield " ".join(ws)


def check_collection(root, stem, ranges, report, texts):
    first = root / (stem + ".csr.utf8")
    if not first.exists():
        report.add(first.name, "missing")
        return
    lines = read_master(first, report)
    names = files_of(first, lines)
    found = collections.defaultdict(list)
    for key, body in entries(lines, 1 if names else 0):
        found[key].append((first.name, body))
    for name in names:
        path = root / (name + ".utf8")
        if not path.exists():
            report.add(first.name, "FILES= names %s, which has no master %s" % (name, path.name))
            continue
        for key, body in entries(read_master(path, report), 0):
            found[key].append((path.name, body))
    for key, limits in ranges.items():
        if KEY_FILTER and not KEY_FILTER.search(key):
            continue
        places = found.get(key, [])
        if len(places) != 1:
            report.add(stem, "key %s found %d times%s" % (
                key, len(places), "" if not places else " (" + ", ".join(p for p, _ in places) + ")"))
            continue
        place, body = places[0]
        for sex, who in ((1, "man"), (2, "woman")):
            n = len(words(resolve(body, sex)))
            if n == 0:
                report.add("%s %s" % (place, key), "empty for a %s" % who)
            elif limits and not limits[0] <= n <= limits[1]:
                report.add("%s %s" % (place, key), "%d words for a %s (allowed %d to %d)" % (
                    n, who, limits[0], limits[1]))
        texts["%s/%s" % (stem, key)] = [l for l in body if not l.startswith(("#", "="))]
    for key in found:
        if key not in ranges:
            report.add(stem, "key %s is not one the program asks for" % key)


KEY_FILTER = None

LINK = re.compile(r"<(?!=)(.*?)ref=([^>]*)>")


def check_help(root, code_root, report, texts):
    first = root / "kvima.lrn.utf8"
    if not first.exists():
        report.add(first.name, "missing")
        return
    queue = ["kvima.lrn"]
    seen = set()
    topics = {}
    links = []  # (where, target)
    while queue:
        name = queue.pop(0)
        if name in seen:
            continue
        seen.add(name)
        path = root / (name + ".utf8")
        if not path.exists():
            report.add("kvima.lrn", "include %s has no master %s" % (name, path.name))
            continue
        lines = read_master(path, report)
        current = None
        for i, line in enumerate(lines, 1):
            if line.startswith("@@"):
                queue.append(line[2:].strip())
                current = None
            elif line.startswith("@") and len(line) > 1:
                current = line[1:].split()
                for k in current:
                    if k in topics:
                        report.add("%s:%d" % (name, i), "topic %s defined twice" % k)
                    topics[k] = []
            elif current:
                for k in current:
                    topics[k].append(line)
                for m in LINK.finditer(line):
                    links.append(("%s:%d" % (name, i), m.group(2).strip()[:TOPIC_KEY_LIMIT], current[0]))
                if len(LINK.findall(line)) > 1:
                    report.add("%s:%d" % (name, i), "more than one link on a line")
    for where, target, _ in links:
        if target not in topics:
            report.add(where, "link to the missing topic %s" % target)
    used = set(REQUIRED_HELP)
    for path in code_root.rglob("*"):
        if path.suffix in (".cpp", ".h") and "build" not in path.parts and "tests" not in path.parts:
            found = HELP_CONSTANT.findall(path.read_text(encoding="utf-8", errors="replace"))
            # File names (kHelpFile = "kvima.lrn") are not topic keys.
            used.update(k for k in found if "." not in k and "/" not in k)
    for key in sorted(used):
        if key not in topics:
            report.add("kvima.lrn", "no topic for the help key %s" % key)
        elif not words(topics[key]):
            report.add("kvima.lrn", "topic %s is empty" % key)
    linked = {t for _, t, src in links if src == "GenHelp"}
    for key in topics:
        if key != "GenHelp" and key not in linked:
            report.add("GenHelp", "does not link the topic %s" % key)
    for key, body in topics.items():
        texts["help/" + key] = [LINK.sub(lambda m: m.group(1), l) for l in body]


def check_repetition(texts, report):
    by_text = collections.defaultdict(list)
    for name, lines in texts.items():
        norm = " ".join(words(lines)).lower()
        if norm:
            by_text[norm].append(name)
    for names in by_text.values():
        if len(names) > 1:
            report.add("texts", "equal texts: " + ", ".join(names))
    owners = collections.defaultdict(set)
    for name, lines in texts.items():
        for s in sentences(lines):
            owners[s].add(name)
    for s, names in owners.items():
        if len(names) > 2:
            report.add("texts", "sentence in %d texts (%s): %s" % (
                len(names), ", ".join(sorted(names)[:4]), s[:90]))


def main():
    here = pathlib.Path(__file__).resolve().parent.parent
    ap = argparse.ArgumentParser()
    ap.add_argument("--root", default=str(here / "data" / "texts"))
    ap.add_argument("--code", default=str(here))
    ap.add_argument("--only", choices=["kvinat", "zdp", "help"], action="append",
                    help="check only these parts (repetition is then checked among them)")
    ap.add_argument("--keys", help="regular expression: check only the collection keys it finds")
    args = ap.parse_args()
    global KEY_FILTER
    KEY_FILTER = re.compile(args.keys) if args.keys else None
    root = pathlib.Path(args.root)
    report = Report()
    texts = {}
    parts = args.only or ["kvinat", "zdp", "help"]
    for stem, ranges in COLLECTIONS.items():
        if stem in parts:
            check_collection(root, stem, ranges(), report, texts)
    if "help" in parts:
        check_help(root, pathlib.Path(args.code), report, texts)
    check_repetition(texts, report)
    for p in report.problems:
        print(p)
    print("%d texts checked, %d problems" % (len(texts), len(report.problems)))
    return 1 if report.problems else 0


if __name__ == "__main__":
    sys.exit(main())
