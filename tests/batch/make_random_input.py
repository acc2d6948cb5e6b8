#!/usr/bin/env python3
"""Random batch input: "JD_UT LAT LON SYSTEM" lines over the whole span of the
ephemeris files, every house system, polar places, and a few refused lines among them.

    make_random_input.py COUNT SEED > input.txt
"""
import random
import sys

FIRST_JD, LAST_JD = 2378499.0, 2597640.0


def packed(rng, lo, hi):
    """A packed degrees.minutes value between lo and hi whole degrees."""
    deg = rng.randint(lo, hi)
    minutes = rng.randint(0, 59)
    if deg == hi and hi in (90, 359):
        minutes = 0
    sign = "-" if deg < 0 else ""
    return f"{sign}{abs(deg)}.{minutes:02d}"


def main():
    count, seed = int(sys.argv[1]), int(sys.argv[2])
    rng = random.Random(seed)
    bad = ["2451545.0 91.00 0 3", "2451545.0 55.45 37.37 13", "nan 55.45 37.37 3",
           "2451545.0 55.45 37.37", "2378498.9 55.45 37.37 3", "2451545.0 55.61 37.37 3", ""]
    for i in range(count):
        if rng.random() < 0.002:
            print(rng.choice(bad))
            continue
        jd = rng.uniform(FIRST_JD, LAST_JD)
        if rng.random() < 0.01:  # the ends of the span
            jd = rng.choice([FIRST_JD + rng.uniform(0, 10), LAST_JD - rng.uniform(0, 10)])
        lat = packed(rng, -89, 89) if rng.random() > 0.05 else packed(rng, 66, 89)
        lon = packed(rng, -180, 359)
        print(f"{jd:.7f} {lat} {lon} {rng.randint(1, 12)}")


if __name__ == "__main__":
    main()
