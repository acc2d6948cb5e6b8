#!/usr/bin/env python3
"""Selects the towns from GeoNames' cities500 table and names them in Russian.

  make_places.py --cities cities500.txt --zones zones.tsv --overrides overrides.tsv \
                 --places places.tsv --countries countries.tsv

Selection: places of the former USSR with 1,000 inhabitants or more or the seat of a
capital, a region or a district (PPLC, PPLA, PPLA2); elsewhere 15,000 or more or a
capital or regional seat (PPLC, PPLA). Each place's zone must belong to its country
(tzdata's zone.tab and zone1970.tab); otherwise it takes the zone of its country whose
principal city (zone.tab) lies nearest, or it is dropped when its country has none.

Names: the overrides file, then the Russian catalogue of libgeonames-common, then the
Cyrillic alternate name of the place closest to its transliterated name, then its
ASCII name. Every text must fit code page 866, in which the towns data are stored.

Output (UTF-8, tab-separated, first line a comment): see the writers at the end.
"""

import argparse
import difflib
import gettext
import math
import pathlib
import re
import sys
import unicodedata

ATTRIBUTION = "Сведения о населённых пунктах: GeoNames (geonames.org), CC BY 4.0"
CATALOGUE = "/usr/share/locale/ru/LC_MESSAGES/geonames.mo"
ZONEINFO = pathlib.Path("/usr/share/zoneinfo")

FORMER_USSR = set("RU UA BY KZ UZ TM TJ KG AZ AM GE MD LT LV EE".split())

# cities500 columns
ID, NAME, ASCII, ALTERNATES, LAT, LON, FCLASS, FCODE, CC, CC2, ADMIN1 = range(11)
POPULATION, TZ = 14, 17

RUSSIAN = re.compile(r"^[А-Яа-яЁё0-9 .,'()-]+$")
HAS_LETTER = re.compile(r"[А-Яа-яЁё]")
# A hard sign before a consonant is Bulgarian, not Russian.
BULGARIAN_HARD_SIGN = re.compile(r"ъ[бвгджзклмнпрстфхцчшщ]", re.I)

# Ukrainian spellings that use only letters Russian has ("-ець", neuter "-ове", "ьо",
# an apostrophe before a soft vowel) and Ukrainian endings spelt with "э". Such a
# name loses to a Russian one.
UKRAINIAN_SPELLING = re.compile(
    r"(ець|ове|еве|ине|ське|цьке|зьке|[бвгджзклмнпрстфхцчшщ]э)$|ьо|'[яюе]", re.I)

PUNCTUATION = str.maketrans({"’": "'", "‘": "'", "ʼ": "'", "`": "'", "—": "-", "–": "-",
                             "«": '"', "»": '"', "\u00a0": " "})

TRANSLIT = dict(zip("абвгдеёжзийклмнопрстуфхцчшщъыьэюя",
                    ["a", "b", "v", "g", "d", "e", "e", "zh", "z", "i", "y", "k", "l", "m",
                     "n", "o", "p", "r", "s", "t", "u", "f", "kh", "ts", "ch", "sh", "shch",
                     "", "y", "", "e", "yu", "ya"]))


def clean(text):
    return " ".join(text.translate(PUNCTUATION).split())


def plain_latin(text):
    """Latin letters without their accents (code page 866 has none of them)."""
    text = unicodedata.normalize("NFKD", clean(text))
    return "".join(c for c in text if not unicodedata.combining(c))


def fits_866(text):
    try:
        text.encode("cp866")
        return True
    except UnicodeEncodeError:
        return False


def russian(text):
    """The text when it reads as a Russian name, else None."""
    if not text:
        return None
    text = clean(text)
    if not RUSSIAN.match(text) or not HAS_LETTER.search(text) or BULGARIAN_HARD_SIGN.search(text):
        return None
    return text


def latin_key(text):
    text = text.lower()
    return "".join(TRANSLIT.get(c, c) for c in text if c.isalpha())


def best_alternate(row):
    target = "".join(c for c in row[ASCII].lower() if c.isalpha())
    best, best_score = None, -1.0
    for alt in row[ALTERNATES].split(","):
        name = russian(alt)
        if not name:
            continue
        score = difflib.SequenceMatcher(None, latin_key(name), target).ratio()
        if UKRAINIAN_SPELLING.search(name):
            score -= 0.5
        if score > best_score:
            best, best_score = name, score
    return best


def packed(value):
    """Degrees as the packed degrees.minutes text, rounded to the minute."""
    minutes = round(abs(value) * 60)
    return "%s%d.%02d" % ("-" if value < 0 and minutes else "", minutes // 60, minutes % 60)


def read_overrides(path):
    o = {"country": {}, "region": {}, "town": {}, "zonecountry": {}}
    for line in pathlib.Path(path).read_text(encoding="utf-8").splitlines():
        if not line.strip() or line.startswith("#"):
            continue
        f = line.split("\t")
        o[f[0]][f[1]] = f[2:]
    return o


def iso6709(text):
    """'+5545+03735' or '+554521+0373704' -> (latitude, longitude) in degrees."""
    m = re.fullmatch(r"([+-]\d{4,6})([+-]\d{5,7})", text)

    def degrees(part, width):
        sign = -1 if part[0] == "-" else 1
        digits = part[1:]
        d, rest = int(digits[:width]), digits[width:]
        mins = int(rest[:2]) if rest else 0
        secs = int(rest[2:4]) if len(rest) > 2 else 0
        return sign * (d + mins / 60 + secs / 3600)

    return degrees(m.group(1), 2), degrees(m.group(2), 3)


def distance(a, b):
    """Great-circle angle between two (latitude, longitude) points, radians."""
    la1, lo1, la2, lo2 = (math.radians(x) for x in (*a, *b))
    c = (math.sin(la1) * math.sin(la2) +
         math.cos(la1) * math.cos(la2) * math.cos(lo1 - lo2))
    return math.acos(max(-1.0, min(1.0, c)))


def read_zone_tables():
    pairs, countries_of, cities = set(), {}, {}
    for line in (ZONEINFO / "zone.tab").read_text(encoding="utf-8").splitlines():
        if line and not line.startswith("#"):
            f = line.split("\t")
            pairs.add((f[0], f[2]))
            cities[f[2]] = iso6709(f[1])
    for line in (ZONEINFO / "zone1970.tab").read_text(encoding="utf-8").splitlines():
        if line and not line.startswith("#"):
            f = line.split("\t")
            countries_of[f[2]] = set(f[0].split(","))
    links = {}
    for line in (ZONEINFO / "tzdata.zi").read_text(encoding="utf-8").splitlines():
        if line.startswith("L "):
            _, target, name = line.split()
            links[name] = target
    english = {}
    for line in (ZONEINFO / "iso3166.tab").read_text(encoding="utf-8").splitlines():
        if line and not line.startswith("#"):
            cc, name = line.split("\t")
            english[cc] = name
    return pairs, countries_of, links, english, cities


def main():
    ap = argparse.ArgumentParser()
    for a in ("cities", "zones", "overrides", "places", "countries"):
        ap.add_argument("--" + a, required=True)
    ap.add_argument("--catalogue", default=CATALOGUE)
    args = ap.parse_args()

    catalogue = gettext.GNUTranslations(open(args.catalogue, "rb"))._catalog
    overrides = read_overrides(args.overrides)
    pairs, countries_of, links, english, cities = read_zone_tables()
    zone_code, zone_rule = {}, {}
    for line in pathlib.Path(args.zones).read_text(encoding="utf-8").splitlines():
        if line.startswith("#"):
            continue
        code, name, rule, _ = line.split("\t")
        zone_code[name] = int(code)
        zone_rule[name] = rule
    zones_of_country = {}
    for cc, zone in pairs:
        if zone in zone_code:
            zones_of_country.setdefault(cc, []).append(zone)

    def zone_for(cc, zone, where):
        cc = overrides["zonecountry"].get(cc, [cc])[0]
        canonical = zone
        while canonical in links and canonical not in zone_code:
            canonical = links[canonical]
        if canonical in zone_code and ((cc, zone) in pairs or (cc, canonical) in pairs or
                                       cc in countries_of.get(canonical, ())):
            return zone if zone in zone_code else canonical
        own = sorted(zones_of_country.get(cc, []))
        if not own:
            return None
        return min(own, key=lambda z: distance(where, cities[z]))

    country_names = {}

    def country_name(cc):
        if cc not in country_names:
            o = overrides["country"].get(cc)
            ru = o[0] if o else russian(catalogue.get(cc, ""))
            en = plain_latin(o[1] if o and len(o) > 1 else english.get(cc, cc))
            country_names[cc] = (ru or en, en)
        return country_names[cc]

    stats = {"read": 0, "selected": 0, "zone corrected": 0, "zone dropped": 0}
    towns = []
    with open(args.cities, encoding="utf-8") as f:
        for line in f:
            row = line.rstrip("\n").split("\t")
            stats["read"] += 1
            population = int(row[POPULATION] or 0)
            cc, fcode = row[CC], row[FCODE]
            if cc in FORMER_USSR:
                wanted = population >= 1000 or fcode in ("PPLC", "PPLA", "PPLA2")
            else:
                wanted = population >= 15000 or fcode in ("PPLC", "PPLA")
            if not wanted:
                continue
            stats["selected"] += 1
            zone = zone_for(cc, row[TZ], (float(row[LAT]), float(row[LON])))
            if zone is None:
                stats["zone dropped"] += 1
                continue
            if zone != row[TZ]:
                stats["zone corrected"] += 1

            source = "override"
            name = overrides["town"].get(row[ID], [None])[0]
            if not name:
                name, source = russian(catalogue.get(row[ID], "")), "catalogue"
            if not name:
                name, source = best_alternate(row), "alternate"
            if not name:
                name, source = clean(row[ASCII] or row[NAME]), "own"
            if not fits_866(name):
                name, source = clean(row[ASCII]), "own"

            country_ru, _ = country_name(cc)
            key = "%s.%s" % (cc, row[ADMIN1])
            region = overrides["region"].get(key, [None])[0] or russian(catalogue.get(key, ""))
            if region == country_ru:
                region = None  # city states: the country names the region already
            field8 = country_ru + (", " + region if region else "")
            field12 = region if region and region != name else ""
            towns.append({
                "key": "t." + row[ID], "name": name, "field8": field8,
                "lat": packed(float(row[LAT])), "lon": packed(float(row[LON])),
                "zone": zone_code[zone], "rule": zone_rule[zone], "region": field12,
                "country": country_ru, "population": population, "tz": zone,
                "source": source, "cc": cc, "fcode": fcode,
            })

    with open(args.places, "w", encoding="utf-8") as f:
        f.write("# %s\n" % ATTRIBUTION)
        cols = ["key", "name", "field8", "lat", "lon", "zone", "rule", "region", "country",
                "population", "tz", "source", "cc", "fcode"]
        f.write("# " + "\t".join(cols) + "\n")
        for t in towns:
            f.write("\t".join(str(t[c]) for c in cols) + "\n")
    with open(args.countries, "w", encoding="utf-8") as f:
        f.write("# %s\n" % ATTRIBUTION)
        f.write("# key\tRussian name\tEnglish name\n")
        for cc in sorted({t["cc"] for t in towns}):
            ru, en = country_names[cc]
            f.write("S.%s\t%s\t%s\n" % (cc, ru, en))

    russian_count = sum(t["source"] != "own" for t in towns)
    print("places: %(read)d read, %(selected)d selected, %(zone corrected)d zones corrected, "
          "%(zone dropped)d dropped" % stats)
    print("towns: %d, countries: %d, Russian names: %d (%.1f %%)" % (
        len(towns), len({t["cc"] for t in towns}), russian_count,
        100.0 * russian_count / max(1, len(towns))))


if __name__ == "__main__":
    sys.exit(main())
