#!/usr/bin/env python3
"""Corrections of the built towns data against Python's zoneinfo on the same tzdata.

  check_zoneinfo.py --probe kv-towns-probe [--pairs 10000] [--seed 1] [--min-share 0.999]

Run in the working directory. Takes random (town, local moment) pairs from 1920 to
2030, leaving out moments within a day of a change of the zone's offset (the towns
data carry dates only), and compares the program's correction with -utcoffset of
zoneinfo. Before a zone's first change of offset zoneinfo gives the mean time of the
zone's main city (named "LMT", or "KMT", "BMT" and the like where the city's mean
time had a name of its own); there the town's own mean time, -longitude/15 hours, is
expected. A zone that begins unsettled ("-00") has no mean time to give.
"""

import argparse
import datetime
import random
import re
import subprocess
import sys
import zoneinfo

ZONEINFO = "/usr/share/zoneinfo"


def packed_to_degrees(text):
    v = float(text)
    n = int(abs(v))
    minutes = round((abs(v) - n) * 100, 6)
    return (n + minutes / 60.0) * (1 if v >= 0 else -1)


def first_change(zone, cache={}):
    """The first local midnight at which the zone's offset differs from its first."""
    if zone.key not in cache:
        day = datetime.datetime(1800, 1, 1)
        first = zone.utcoffset(day)
        step = datetime.timedelta(days=16)
        while zone.utcoffset(day) == first and day.year < 2031:
            day += step
        day -= step
        while zone.utcoffset(day) == first and day.year < 2031:
            day += datetime.timedelta(days=1)
        cache[zone.key] = day
    return cache[zone.key]


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--probe", required=True)
    ap.add_argument("--pairs", type=int, default=10000)
    ap.add_argument("--seed", type=int, default=1)
    ap.add_argument("--min-share", type=float, default=0.999)
    args = ap.parse_args()
    zoneinfo.reset_tzpath([ZONEINFO])

    popa = open("popa.ctl", encoding="cp866").read()
    version = re.search(r"^\* tzdata (\S+)", popa, re.M).group(1)
    installed = re.search(r"^# version (\S+)", open(ZONEINFO + "/tzdata.zi").read(), re.M).group(1)
    if version != installed:
        print("popa.ctl was made from tzdata %s, installed is %s" % (version, installed))
        return 1
    zone_of_code = dict(re.findall(r"^\* (\d+) (\S+)$", popa, re.M))

    listing = subprocess.run([args.probe, "list"], capture_output=True, text=True, check=True)
    towns = []
    for line in listing.stdout.splitlines():
        key, code, lon, rule, tz = line.split("\t")
        if zone_of_code.get(code) != tz:
            print("%s: zone code %s is %s in popa.ctl, the record says %s" %
                  (key, code, zone_of_code.get(code), tz))
            return 1
        if rule and rule != tz:
            print("%s: summer-time section %s for zone %s" % (key, rule, tz))
            return 1
        towns.append((key, tz, packed_to_degrees(lon)))
    print("%d towns, %d zones" % (len(towns), len({t[1] for t in towns})))

    rng = random.Random(args.seed)
    start = datetime.datetime(1920, 1, 1)
    span = int((datetime.datetime(2031, 1, 1) - start).total_seconds())
    pairs, skipped = [], 0
    while len(pairs) < args.pairs:
        key, tz, lon = rng.choice(towns)
        moment = start + datetime.timedelta(seconds=rng.randrange(span))
        zone = zoneinfo.ZoneInfo(tz)
        day = datetime.datetime(moment.year, moment.month, moment.day)
        offsets = {zone.utcoffset(day + datetime.timedelta(days=d)) for d in (-1, 0, 1, 2)}
        if len(offsets) > 1:
            skipped += 1
            continue
        local = moment.replace(tzinfo=zone)
        if moment < first_change(zone) and local.tzname() != "-00":
            expected = -lon / 15.0
        else:
            expected = -local.utcoffset().total_seconds() / 3600.0
        pairs.append((key, moment, expected, tz))

    request = "".join("%s %s\n" % (k, m.strftime("%d.%m.%Y %H:%M:%S")) for k, m, _, _ in pairs)
    result = subprocess.run([args.probe, "corrections"], input=request, capture_output=True,
                            text=True, check=True)
    answers = result.stdout.split()
    if len(answers) != len(pairs):
        print("the probe answered %d of %d pairs" % (len(answers), len(pairs)))
        return 1
    wrong = []
    for (key, moment, expected, tz), answer in zip(pairs, answers):
        if answer == "-" or abs(float(answer) - expected) > 1e-5:
            wrong.append((key, tz, moment, expected, answer))
    share = 1.0 - len(wrong) / len(pairs)
    print("%d pairs (%d moments near a switch left out): %d equal, share %.4f" %
          (len(pairs), skipped, len(pairs) - len(wrong), share))
    for w in wrong[:20]:
        print("  %s %s %s: zoneinfo %.6f, towns data %s" % w)
    return 0 if share >= args.min_share else 1


if __name__ == "__main__":
    sys.exit(main())
