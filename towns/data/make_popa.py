#!/usr/bin/env python3
"""Writes the time-zone table "popa.ctl" (code page 866) and the list of zone codes.

  make_popa.py --out popa.ctl --zones zones.tsv [--last-year 2049]

Every zone of tzdata's zone.tab gets a "PopTime" line: its integer code, "LMT" (dates
before the zone's first switch take the town's own mean time), and its periods of
standard time, the last one open-ended. Summer time goes into one section per zone
history, named after the zone ids that share it. Periods carry dates only: a switch
at a local clock time before noon moves the boundary to 0 h of that day, a later one
to 0 h of the next day.
"""

import argparse
import pathlib
import sys

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent))
import tzdb  # noqa: E402

ATTRIBUTION = "Сведения о населённых пунктах: GeoNames (geonames.org), CC BY 4.0"
WRAP = 78


def hours(seconds):
    text = "%.8f" % (seconds / 3600.0)
    text = text.rstrip("0").rstrip(".")
    return "0" if text in ("-0", "") else text


def date_text(day):
    y, m, d = tzdb.civil_from_days(day)
    return "%02d.%02d.%04d" % (d, m, y)


def boundary_day(instant, total_before):
    """The date at whose 0 h a switch is placed, from the clock time it happened at."""
    local = instant + total_before
    day, seconds = divmod(local, 86400)
    return day + (1 if seconds >= 12 * 3600 else 0)


def standard_periods(segments, lmt_total):
    """[(first day, end day or None, standard offset)] in order, contiguous."""
    runs = []
    before = lmt_total
    for seg in segments:
        if not runs or runs[-1][1] != seg.std:
            runs.append([boundary_day(seg.start, before), seg.std])
        before = seg.total
    periods = []
    for k, (day, std) in enumerate(runs):
        end = runs[k + 1][0] if k + 1 < len(runs) else None
        if end is not None and end <= day:
            continue  # a standard time that lasted less than a day
        if periods and periods[-1][2] == std:
            periods[-1][1] = end
            continue
        if periods:
            periods[-1][1] = day
        periods.append([day, end, std])
    return periods


def summer_periods(segments, lmt_total, end_day):
    """[(from day, to day, summer time)]: summer time applies after 0 h of the first
    day up to and including 0 h of the last."""
    lines = []
    before = lmt_total
    k = 0
    while k < len(segments):
        seg = segments[k]
        if seg.dst == 0:
            before = seg.total
            k += 1
            continue
        j = k
        while j + 1 < len(segments) and segments[j + 1].dst == seg.dst:
            j += 1
        first = boundary_day(seg.start, before)
        if j + 1 < len(segments):
            last = boundary_day(segments[j + 1].start, segments[j].total)
        else:
            last = end_day
        if last > first:
            lines.append((first, last, seg.dst))
        before = segments[j].total
        k = j + 1
    return lines


def wrap_tokens(tokens):
    """Lines of at most WRAP characters, each but the last ending in " &"."""
    lines, current = [], ""
    for t in tokens:
        if current and len(current) + 1 + len(t) + 2 > WRAP:
            lines.append(current + " &")
            current = t
        else:
            current = t if not current else current + " " + t
    lines.append(current)
    return lines


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--out", required=True)
    ap.add_argument("--zones", required=True)
    ap.add_argument("--last-year", type=int, default=2049)
    ap.add_argument("--zoneinfo", default=str(tzdb.ZONEINFO))
    args = ap.parse_args()
    tzdb.ZONEINFO = pathlib.Path(args.zoneinfo)

    version, zones, links = tzdb.read_tzdata_zi(tzdb.ZONEINFO / "tzdata.zi")
    names = set()
    for tab in ("zone.tab", "zone1970.tab"):
        for line in (tzdb.ZONEINFO / tab).read_text(encoding="utf-8").splitlines():
            if line and not line.startswith("#"):
                names.add(line.split("\t")[2])
    names = sorted(n for n in names if n in zones)
    end_day = tzdb.days_from_civil(args.last_year + 1, 1, 1)

    pop_lines, sections, zone_rows = [], {}, []
    for code, name in enumerate(names, start=1):
        lines = zones[name]
        segments, lmt = tzdb.zone_history(name, lines, args.last_year)
        first_total = lines[0].stdoff
        tokens = [str(code), "LMT" if lmt else hours(first_total)]
        periods = standard_periods(segments, first_total)
        if not periods:
            periods = [[None, None, lines[-1].stdoff]]
        for first, end, std in periods:
            if first is None:
                tokens[1] = hours(std)
                continue
            tokens.append(date_text(first) + ("-" + date_text(end) if end is not None else ""))
            tokens.append(hours(std))
        pop_lines.append("* %d %s" % (code, name))
        pop_lines.extend(wrap_tokens(tokens))
        summer = summer_periods(segments, first_total, end_day)
        rule = ""
        if summer:
            body = tuple("%s-%s %s" % (date_text(a), date_text(b), hours(d)) for a, b, d in summer)
            sections.setdefault(body, []).append(name)
            rule = name
        zone_rows.append((code, name, rule, "LMT" if lmt else ""))

    out = []
    out.append("* popa.ctl: поясное время и летнее время по периодам.")
    out.append("* tzdata %s (база часовых поясов, общественное достояние)" % version)
    out.append("* " + ATTRIBUTION)
    out.append("*")
    out.append("* Раздел PopTime: код пояса, поправка по умолчанию, затем пары")
    out.append("* \"период смещение\". Период: дд.мм.гггг-дд.мм.гггг (с 0 ч первого дня")
    out.append("* до 0 ч последнего) или дд.мм.гггг (без конца). Смещение - часы к востоку")
    out.append("* от Гринвича. Строка, содержащая \"&\", продолжается на следующей.")
    out.append("* Поправка по умолчанию LMT: даты вне всех периодов (то есть до первого")
    out.append("* перевода часов пояса) берут местное среднее время самого города,")
    out.append("* -долгота/15 ч по полю 6 его записи; последний период пояса открыт.")
    out.append("* Разделы летнего времени названы именами поясов: дд.мм.гггг-дд.мм.гггг")
    out.append("* и сдвиг в часах (1 - часы на час вперёд) после 0 ч первого дня и до")
    out.append("* 0 ч последнего включительно.")
    out.append("")
    out.append("@@ PopTime")
    out.extend(pop_lines)
    for body, ids in sorted(sections.items(), key=lambda kv: kv[1][0]):
        out.append("")
        out.append("@@ " + " ".join(ids))
        out.extend(body)
    pathlib.Path(args.out).write_bytes(("\n".join(out) + "\n").encode("cp866"))

    with open(args.zones, "w", encoding="utf-8") as f:
        f.write("# code\tzone\tsummer section\tdefault\n")
        for row in zone_rows:
            f.write("%d\t%s\t%s\t%s\n" % row)


if __name__ == "__main__":
    main()
