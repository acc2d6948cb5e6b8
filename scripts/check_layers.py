#!/usr/bin/env python3
"""Lists every include that crosses a layer and fails on one that runs upward.

  check_layers.py [--root DIR] [--layers FILE] [--quiet]
  check_layers.py --self-test

The layers and what each may include are read from cmake/kv_layers.cmake (the lines
"set(KV_LAYER_<layer> ...)"), the same list the build makes its include roots from.
Every C++ file under a layer's folder is read, tests and tools included, and each
'#include "..."' is resolved: a path that starts with a layer's folder belongs to
that layer, any other is taken relative to the including file. Reported, exit 1:

- an include of a layer the file's layer does not list (a higher layer or a sibling);
- a relative include that leaves the layer's folder ("../");
- in a Qt-free core (every folder but app/, the ui/ folders and chart/birth/), an
  include of a Qt header or of a header of a ui part.

Every include between two layers is printed first, grouped by the pair of layers, so
that the output shows the whole dependency picture; --quiet prints only problems.
"""

import argparse
import pathlib
import re
import sys
import tempfile

SOURCE_SUFFIXES = {".h", ".hpp", ".cpp", ".cc"}
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')
LAYER_LINE = re.compile(r"^\s*set\(KV_LAYER_(\w+)\s+([^)]*)\)", re.M)
# Folders with windows (Qt); everything else in a layer is a Qt-free core.
UI_PARTS = ("/ui/", "chart/birth/")


def read_layers(path):
    """{layer: set of layers it may include}, in file order."""
    text = pathlib.Path(path).read_text(encoding="utf-8")
    layers = {}
    for name, items in LAYER_LINE.findall(text):
        allowed = set()
        for item in items.split():
            ref = re.fullmatch(r"\$\{KV_LAYER_(\w+)\}", item)
            if ref:
                allowed |= layers[ref.group(1)]
            else:
                allowed.add(item)
        layers[name] = allowed
    if not layers:
        raise SystemExit(f"{path}: no KV_LAYER_ lines")
    for name, allowed in layers.items():
        if name not in allowed:
            raise SystemExit(f"{path}: layer {name} does not list itself")
    return layers


def is_ui(rel):
    return rel.startswith("app/") or any(part in "/" + rel for part in UI_PARTS)


def check(root, layers):
    """Returns (crossings, problems): lists of (file, line, text)."""
    root = pathlib.Path(root).resolve()
    crossings, problems = [], []
    for layer in layers:
        folder = root / layer
        if not folder.is_dir():
            problems.append((layer, 0, f"layer folder {layer}/ is missing"))
            continue
        for path in sorted(folder.rglob("*")):
            if path.suffix not in SOURCE_SUFFIXES or not path.is_file():
                continue
            rel = path.relative_to(root).as_posix()
            core = not is_ui(rel)
            lines = path.read_text(encoding="utf-8", errors="replace").splitlines()
            for number, line in enumerate(lines, 1):
                m = INCLUDE.match(line)
                if not m:
                    continue
                bracket, target = m.groups()
                if bracket == "<":
                    if core and re.match(r"Q[A-Za-z]", target):
                        problems.append((rel, number, f"Qt header <{target}> in a Qt-free core"))
                    continue
                first = target.split("/", 1)[0]
                if first in layers:
                    target_rel = target
                else:
                    resolved = (path.parent / target).resolve()
                    try:
                        target_rel = resolved.relative_to(root).as_posix()
                    except ValueError:
                        problems.append((rel, number, f'"{target}" leaves the source tree'))
                        continue
                    if not resolved.exists():
                        continue  # generated (moc) or a system header by quotes
                    if not target_rel.startswith(layer + "/"):
                        problems.append((rel, number, f'"{target}" reaches out of {layer}/ '
                                         "by a relative path"))
                        continue
                target_layer = target_rel.split("/", 1)[0]
                if core and is_ui(target_rel):
                    problems.append((rel, number, f'"{target}" is a ui header in a Qt-free core'))
                if target_layer == layer:
                    continue
                crossings.append((layer, target_layer, rel, number, target))
                if target_layer not in layers[layer]:
                    problems.append((rel, number,
                                     f'"{target}": {layer} may not include {target_layer}'))
    return crossings, problems


def report(crossings, problems, quiet):
    if not quiet:
        pairs = {}
        for layer, target_layer, rel, number, target in crossings:
            pairs.setdefault((layer, target_layer), []).append(f"  {rel}:{number}  {target}")
        for (layer, target_layer), items in sorted(pairs.items()):
            print(f"{layer} -> {target_layer} ({len(items)})")
            print("\n".join(items))
        print(f"{len(crossings)} includes across layers")
    for rel, number, text in problems:
        print(f"{rel}:{number}: {text}", file=sys.stderr)
    if problems:
        print(f"{len(problems)} layer problems", file=sys.stderr)
    return 1 if problems else 0


def self_test():
    """The checker on a small tree: an allowed tree passes, each kind of fault fails."""
    layers_text = ("set(KV_LAYER_common common)\nset(KV_LAYER_astro common astro)\n"
                   "set(KV_LAYER_db common db)\nset(KV_LAYER_chart ${KV_LAYER_astro} db chart)\n")
    good = {
        "common/a.h": "#include <string>\n",
        "common/ui/w.h": "#include <QWidget>\n#include \"common/a.h\"\n",
        "astro/b.cpp": "#include \"astro/b.h\"\n#include \"common/a.h\"\n",
        "astro/b.h": "",
        "db/d.h": "#include \"common/a.h\"\n",
        "chart/c.cpp": "#include \"astro/b.h\"\n#include \"db/d.h\"\n#include \"local.h\"\n",
        "chart/local.h": "",
        "chart/ui/v.cpp": "#include <QPainter>\n#include \"common/ui/w.h\"\n",
    }
    faults = {
        "upward": ("common/x.cpp", '#include "astro/b.h"\n'),
        "sibling": ("astro/x.cpp", '#include "db/d.h"\n'),
        "relative escape": ("astro/x.cpp", '#include "../chart/c.cpp"\n'),
        "Qt in a core": ("astro/x.cpp", "#include <QString>\n"),
        "ui header in a core": ("chart/x.cpp", '#include "common/ui/w.h"\n'),
    }

    def run(files):
        with tempfile.TemporaryDirectory() as tmp:
            root = pathlib.Path(tmp)
            (root / "layers.cmake").write_text(layers_text)
            for name, text in files.items():
                (root / name).parent.mkdir(parents=True, exist_ok=True)
                (root / name).write_text(text)
            crossings, problems = check(root, read_layers(root / "layers.cmake"))
            return len(crossings), problems

    failures = []
    count, problems = run(good)
    if problems:
        failures.append(f"a sound tree was refused: {problems}")
    if count != 5:
        failures.append(f"a sound tree has 5 includes across layers, counted {count}")
    for what, (name, text) in faults.items():
        files = dict(good)
        files[name] = text
        if not run(files)[1]:
            failures.append(f"{what} include was not found")
    for f in failures:
        print(f, file=sys.stderr)
    print("self-test " + ("failed" if failures else "passed"))
    return 1 if failures else 0


def main():
    here = pathlib.Path(__file__).resolve().parent.parent
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--root", default=str(here))
    parser.add_argument("--layers", default=None, help="default ROOT/cmake/kv_layers.cmake")
    parser.add_argument("--quiet", action="store_true")
    parser.add_argument("--self-test", action="store_true")
    args = parser.parse_args()
    if args.self_test:
        return self_test()
    layers = read_layers(args.layers or pathlib.Path(args.root) / "cmake" / "kv_layers.cmake")
    crossings, problems = check(args.root, layers)
    return report(crossings, problems, args.quiet)


if __name__ == "__main__":
    sys.exit(main())
