#!/usr/bin/env python3
"""Russian names of the built place list.

  check_names.py places.tsv

Every town of the former USSR with 10,000 inhabitants or more and every capital must
carry a Russian name (Cyrillic letters Russian has, nothing else). Prints the share
of towns with a Cyrillic name and the number of towns and countries.
"""

import re
import sys

FORMER_USSR = set("RU UA BY KZ UZ TM TJ KG AZ AM GE MD LT LV EE".split())
RUSSIAN = re.compile(r"^[А-Яа-яЁё0-9 .,'()\"-]+$")
CYRILLIC = re.compile(r"[А-Яа-яЁё]")


def main():
    cols = None
    towns = []
    for line in open(sys.argv[1], encoding="utf-8"):
        if line.startswith("# key"):
            cols = line[2:].rstrip("\n").split("\t")
        elif not line.startswith("#"):
            towns.append(dict(zip(cols, line.rstrip("\n").split("\t"))))
    missing = [t for t in towns
               if ((t["cc"] in FORMER_USSR and int(t["population"]) >= 10000) or t["fcode"] == "PPLC")
               and not (RUSSIAN.match(t["name"]) and CYRILLIC.search(t["name"]))]
    cyrillic = sum(1 for t in towns if CYRILLIC.search(t["name"]))
    ussr = [t for t in towns if t["cc"] in FORMER_USSR]
    print("%d towns in %d countries; Cyrillic names %d (%.1f %%); former USSR %d, of them "
          "Cyrillic %.1f %%" % (len(towns), len({t["cc"] for t in towns}), cyrillic,
                                100.0 * cyrillic / len(towns), len(ussr),
                                100.0 * sum(1 for t in ussr if CYRILLIC.search(t["name"])) / len(ussr)))
    for t in missing[:30]:
        print("  no Russian name: %s %s (%s, %s)" % (t["key"], t["name"], t["cc"], t["population"]))
    return 1 if missing else 0


if __name__ == "__main__":
    sys.exit(main())
