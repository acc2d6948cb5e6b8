#!/usr/bin/env bash
# kvimarot-chart town on the built data: corrections at given moments, the JSON keys,
# the refusals of bad dates and times, and a text no town begins with.
#   cli_town_test.sh KVIMAROT_CHART WORKDIR
set -uo pipefail
chart=$1
work=$2
failures=0
check() {  # description, expected, actual
  if [ "$2" == "$3" ]; then echo "ok: $1"; else echo "FAILED: $1: expected [$2], got [$3]"; failures=$((failures + 1)); fi
}
first_correction() {
  "$chart" --workdir "$work" town "$@" --json | sed -n 's/.*"correction": \([^}]*\)}.*/\1/p' | head -1
}

check "Samara 1990: +3 standard, +1 summer" "-4" "$(first_correction Самара --date 01.07.1990)"
check "Samara 2012: +4 all year" "-4" "$(first_correction Самара --date 01.07.2012)"
check "Moscow summer 1921" "-5" "$(first_correction москва --date 01.07.1921 --time 12:00:00)"
check "New York in winter" "5" "$(first_correction "нью-йорк" --date 15.01.2000)"

line=$("$chart" --workdir "$work" town Самара --date 01.07.1990 --json | sed -n 2p)
for key in key name region country lat lon zone tz correction; do
  case "$line" in *"\"$key\": "*) ;; *) check "JSON key $key" present missing ;; esac
done
check "JSON values" '"key": "t.499099", "name": "Самара", "region": "Самарская область", "country": "Россия", "lat": 53.12, "lon": 50.09, "zone"' \
  "$(echo "$line" | sed 's/^  {//; s/: [0-9]*, "tz".*//')"

# Exact names first, then the most populous: "Орёл" the town, not "Орёл-Изумруд".
check "exact name first" "Орёл" "$("$chart" --workdir "$work" town орел | sed -n 2p | cut -f2)"
check "at most 20 towns" "21" "$("$chart" --workdir "$work" town С | wc -l)"
check "switch day noted" "В этот день часы переводились: проверьте поправку" \
  "$("$chart" --workdir "$work" town Москва --date 27.03.2011 --time 12:00:00 | sed -n 2p | cut -f10)"

# Refusals end, like every usage error of the program, with the pointer to the help.
hint="Справка: kvimarot-chart town --help"
out=$("$chart" --workdir "$work" town Самара --date 31.02.1990 2>&1); rc=$?
check "31 February refused" "2 Неверная дата '31.02.1990': нужна дата вида ДД.ММ.ГГГГ.
$hint" "$rc $out"
out=$("$chart" --workdir "$work" town Самара --date 01.07.1990 --time 12:60:00 2>&1); rc=$?
check "minute 60 refused" "2 Неверное время '12:60:00': нужно время вида ЧЧ:ММ:СС.
$hint" "$rc $out"
out=$("$chart" --workdir "$work" town Самара --time 12:00:00 2>&1); rc=$?
check "time without date refused" "2 Не хватает параметра: --date
$hint" "$rc $out"
out=$("$chart" --workdir "$work" town Самара --zone 2>&1); rc=$?
check "unknown option refused" "2 Неизвестный параметр: --zone
$hint" "$rc $out"
out=$("$chart" --workdir "$work" town Щщщщ --json 2>/dev/null); rc=$?
check "no town" "1 []" "$rc $out"

[ "$failures" -eq 0 ]
