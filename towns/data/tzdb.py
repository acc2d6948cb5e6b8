"""Time-zone history from Debian's tzdata, split into standard time and summer time.

The compiled zone files (/usr/share/zoneinfo) give the instants of every switch and
the total offset after it; "tzdata.zi" gives, for each period of a zone, the standard
offset the law set. Summer time is the difference of the two. A zone file's own
is-dst flag is not used: it cannot tell +3 standard with two hours of summer time
(Moscow 1921) from +4 with one.

All times here are seconds: instants in universal time since 1970-01-01, offsets
east of Greenwich positive.
"""

import calendar
import pathlib
import re
import struct

ZONEINFO = pathlib.Path("/usr/share/zoneinfo")

MONTHS = ["january", "february", "march", "april", "may", "june", "july", "august",
          "september", "october", "november", "december"]
WEEKDAYS = ["monday", "tuesday", "wednesday", "thursday", "friday", "saturday", "sunday"]


def _by_prefix(word, names):
    word = word.lower()
    hits = [i for i, n in enumerate(names) if n.startswith(word)]
    if len(hits) != 1:
        raise ValueError("unclear name '%s'" % word)
    return hits[0]


def parse_hms(text):
    """'2', '-0:25:21', '2:30', '24' -> seconds."""
    sign = -1 if text.startswith("-") else 1
    parts = text.lstrip("-").split(":")
    seconds = 0
    for i, p in enumerate(parts):
        seconds += int(p or 0) * (3600, 60, 1)[i]
    return sign * seconds


def parse_time_of_day(text):
    """An until or rule time with its suffix: (seconds, 'w' | 's' | 'u')."""
    kind = "w"
    if text and text[-1].isalpha():
        kind = {"w": "w", "s": "s", "u": "u", "g": "u", "z": "u"}[text[-1]]
        text = text[:-1]
    return (parse_hms(text) if text and text != "-" else 0), kind


def day_of_month(year, month, rule):
    """'15', 'lastSu', 'Su>=8', 'Sa<=5' -> day of month (may leave the month)."""
    if rule.startswith("last"):
        wd = _by_prefix(rule[4:], WEEKDAYS)
        last = calendar.monthrange(year, month)[1]
        d = last
        while calendar.weekday(year, month, d) != wd:
            d -= 1
        return d
    m = re.fullmatch(r"([A-Za-z]+)([<>]=)(\d+)", rule)
    if m:
        wd = _by_prefix(m.group(1), WEEKDAYS)
        d = int(m.group(3))
        step = 1 if m.group(2) == ">=" else -1
        # Walk by days through a proleptic day count so that the month may change.
        n = days_from_civil(year, month, d)
        while (n + 3) % 7 != wd:  # 1970-01-01 (day 0) was a Thursday (3)
            n += step
        return n - days_from_civil(year, month, 1) + 1
    return int(rule)


def days_from_civil(y, m, d):
    """Days since 1970-01-01 of a proleptic Gregorian date."""
    y -= m <= 2
    era = (y if y >= 0 else y - 399) // 400
    yoe = y - era * 400
    doy = (153 * (m + (-3 if m > 2 else 9)) + 2) // 5 + d - 1
    doe = yoe * 365 + yoe // 4 - yoe // 100 + doy
    return era * 146097 + doe - 719468


def civil_from_days(z):
    z += 719468
    era = (z if z >= 0 else z - 146096) // 146097
    doe = z - era * 146097
    yoe = (doe - doe // 1460 + doe // 36524 - doe // 146096) // 365
    y = yoe + era * 400
    doy = doe - (365 * yoe + yoe // 4 - yoe // 100)
    mp = (5 * doy + 2) // 153
    d = doy - (153 * mp + 2) // 5 + 1
    m = mp + (3 if mp < 10 else -9)
    return y + (m <= 2), m, d


# ----------------------------------------------------------------- tzdata.zi

class ZoneLine:
    """One period of a zone as the law set it: standard offset until an end."""

    def __init__(self, stdoff, rule, fmt, until):
        self.stdoff = stdoff
        self.rule = rule
        self.format = fmt
        self.until = until  # None, or (local seconds as if UT, kind 'w'/'s'/'u')


def _until(fields):
    if not fields:
        return None
    year = int(fields[0])
    month = _by_prefix(fields[1], MONTHS) + 1 if len(fields) > 1 else 1
    day = day_of_month(year, month, fields[2]) if len(fields) > 2 else 1
    seconds, kind = parse_time_of_day(fields[3]) if len(fields) > 3 else (0, "w")
    return days_from_civil(year, month, 1) * 86400 + (day - 1) * 86400 + seconds, kind


def read_tzdata_zi(path=ZONEINFO / "tzdata.zi"):
    """(version, {zone: [ZoneLine]}, {link: target})."""
    version = None
    zones, links = {}, {}
    current = None
    for raw in pathlib.Path(path).read_text(encoding="utf-8").splitlines():
        if raw.startswith("# version"):
            version = raw.split()[2]
        line = raw.split("#", 1)[0].strip()
        if not line:
            continue
        f = line.split()
        if f[0] == "Z":
            current = zones.setdefault(f[1], [])
            current.append(ZoneLine(parse_hms(f[2]), f[3], f[4], _until(f[5:])))
        elif f[0] == "L":
            links[f[2]] = f[1]
            current = None
        elif f[0] == "R":
            current = None
        elif current is not None:
            current.append(ZoneLine(parse_hms(f[0]), f[1], f[2], _until(f[3:])))
    return version, zones, links


# ----------------------------------------------------------------- compiled files

def read_tzif(path):
    """(transitions [(instant, offset, abbreviation)], initial (offset, abbreviation),
    footer TZ string)."""
    data = pathlib.Path(path).read_bytes()
    if data[:4] != b"TZif":
        raise ValueError("%s is not a zone file" % path)

    def header(pos):
        counts = struct.unpack(">6l", data[pos + 20:pos + 44])
        return counts  # isutcnt, isstdcnt, leapcnt, timecnt, typecnt, charcnt

    isut, isstd, leap, timecnt, typecnt, charcnt = header(0)
    pos = 44 + timecnt * 5 + typecnt * 6 + charcnt + leap * 8 + isstd + isut
    if data[4] < ord("2"):
        raise ValueError("%s has no 64-bit data" % path)
    isut, isstd, leap, timecnt, typecnt, charcnt = header(pos)
    pos += 44
    times = struct.unpack(">%dq" % timecnt, data[pos:pos + 8 * timecnt])
    pos += 8 * timecnt
    idx = data[pos:pos + timecnt]
    pos += timecnt
    types = []
    for i in range(typecnt):
        off, dst, ai = struct.unpack(">lBB", data[pos + 6 * i:pos + 6 * i + 6])
        types.append((off, dst, ai))
    pos += 6 * typecnt
    chars = data[pos:pos + charcnt]
    pos += charcnt + leap * 12 + isstd + isut

    def abbr(ai):
        return chars[ai:chars.index(b"\0", ai)].decode("ascii")

    transitions = [(t, types[i][0], abbr(types[i][2])) for t, i in zip(times, idx)]
    initial = (types[0][0], abbr(types[0][2]))
    footer = data[pos:].strip(b"\n").decode("ascii")
    return transitions, initial, footer


# ----------------------------------------------------------------- POSIX TZ footer

def _posix_name(s, i):
    if s[i] == "<":
        j = s.index(">", i)
        return s[i + 1:j], j + 1
    j = i
    while j < len(s) and s[j].isalpha():
        j += 1
    return s[i:j], j


def _posix_offset(s, i):
    m = re.compile(r"[+-]?\d+(:\d+){0,2}").match(s, i)
    return parse_hms(m.group(0).lstrip("+")), m.end()


def _posix_rule_day(rule, year):
    """Day of the year's rule date as days since 1970."""
    if rule.startswith("M"):
        m, w, d = (int(x) for x in rule[1:].split("."))
        first = days_from_civil(year, m, 1)
        wd_first = (first + 4) % 7  # 0 = Sunday
        day = first + (d - wd_first) % 7 + (w - 1) * 7
        last = days_from_civil(year, m, calendar.monthrange(year, m)[1])
        while day > last:
            day -= 7
        return day
    if rule.startswith("J"):
        n = int(rule[1:])
        day = days_from_civil(year, 1, 1) + n - 1
        if calendar.isleap(year) and n >= 60:
            day += 1
        return day
    return days_from_civil(year, 1, 1) + int(rule)


def footer_transitions(footer, first_year, last_year):
    """[(instant, offset, abbreviation)] of a POSIX TZ string for the years given."""
    if not footer:
        return []
    std_name, i = _posix_name(footer, 0)
    std, i = _posix_offset(footer, i)
    std = -std
    if i >= len(footer):
        return []
    dst_name, i = _posix_name(footer, i)
    dst = std + 3600
    if i < len(footer) and footer[i] != ",":
        dst, i = _posix_offset(footer, i)
        dst = -dst
    start, end = footer[i + 1:].split(",")

    def when(part):
        rule, _, time = part.partition("/")
        return rule, (parse_hms(time) if time else 7200)

    (r1, t1), (r2, t2) = when(start), when(end)
    out = []
    for year in range(first_year, last_year + 1):
        out.append((_posix_rule_day(r1, year) * 86400 + t1 - std, dst, dst_name))
        out.append((_posix_rule_day(r2, year) * 86400 + t2 - dst, std, std_name))
    out.sort()
    return out


# ----------------------------------------------------------------- zone history

class Segment:
    """From `start` (instant) to the next segment: total offset, standard offset and
    summer time (total - standard), all in seconds."""

    def __init__(self, start, total, std):
        self.start = start
        self.total = total
        self.std = std

    @property
    def dst(self):
        return self.total - self.std


def zone_history(name, lines, last_year):
    """(segments, begins_with_lmt). The first segment starts at the end of the zone's
    first period (its mean time); later ones at each change of the total or the
    standard offset, up to the end of last_year."""
    transitions, initial, footer = read_tzif(ZONEINFO / name)
    end = days_from_civil(last_year + 1, 1, 1) * 86400
    last = transitions[-1][0] if transitions else None
    if footer:
        year0 = civil_from_days((last if last is not None else 0) // 86400)[0]
        extra = [t for t in footer_transitions(footer, year0, last_year)
                 if last is None or t[0] > last]
        transitions = transitions + extra
    transitions = [t for t in transitions if t[0] < end]

    def total_at(instant):
        off = initial[0]
        for t, o, _ in transitions:
            if t > instant:
                break
            off = o
        return off

    # Ends of the zone's periods as instants: a wall-clock end is matched with the
    # switch of the compiled file that happens then, if there is one.
    bounds = []
    for k, line in enumerate(lines[:-1]):
        local, kind = line.until
        if kind == "u":
            instant = local
        else:
            instant = None
            for t, _, _ in transitions:
                if abs(t - (local - line.stdoff)) > 4 * 3600:
                    continue
                before = total_at(t - 1)
                if (kind == "w" and t + before == local) or (kind == "s" and t + line.stdoff == local):
                    instant = t
                    break
            if instant is None:
                guess = local - line.stdoff
                instant = local - (total_at(guess) if kind == "w" else line.stdoff)
        bounds.append(instant)

    def line_at(instant):
        for k, b in enumerate(bounds):
            if instant < b:
                return k
        return len(lines) - 1

    starts = sorted(set([t for t, _, _ in transitions] + [b for b in bounds if b < end]))
    if not starts:
        return [], lines[0].format == "LMT"
    # Negative summer time (Irish winter time, Prague 1946-47) is turned round: the
    # lower offset of the period becomes its standard time.
    raw = []
    for s in starts:
        k = line_at(s)
        raw.append((s, total_at(s), lines[k].stdoff, k))
    lowest = {}
    for s, total, std, k in raw:
        lowest[k] = min(lowest.get(k, 0), total - std)
    segments = []
    for s, total, std, k in raw:
        seg = Segment(s, total, std + lowest[k])
        if segments and segments[-1].total == seg.total and segments[-1].std == seg.std:
            continue
        segments.append(seg)
    # Before the first switch the zone keeps its first period's offset.
    first_total = initial[0]
    while segments and segments[0].total == first_total and segments[0].dst == 0 and \
            lines[0].stdoff == first_total and segments[0].std == first_total:
        segments.pop(0)
    return segments, lines[0].format == "LMT"
