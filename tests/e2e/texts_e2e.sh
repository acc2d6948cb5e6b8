#!/usr/bin/env bash
# End to end under Xvfb and openbox, through the keyboard and the mouse as a user
# works: "Гороскоп", F1 in the birth-data dialog opens its help topic, OK opens the
# chart window, a click on a planet glyph opens that planet's details, "Интерпретация"
# opens the natal text, "Помощь" the table of contents. Screenshots of the help, the
# details, the interpretation and the contents go to the folder $3.
# Usage: texts_e2e.sh KVIMAROT WORKDIR [SHOT_DIR]
set -euo pipefail
. "$(dirname "$0")/xvfb.sh"
trap 'echo "FAIL: line $LINENO: $BASH_COMMAND"' ERR
prog=$1
work_src=$2
shots=${3:-$PWD}
mkdir -p "$shots"
command -v openbox >/dev/null || { echo "FAIL: openbox is missing (scripts/setup.sh)"; exit 1; }
tmp=$(mktemp -d)
trap 'kill ${app_pid:-} ${wm_pid:-} 2>/dev/null || true; kv_stop_xvfb; rm -rf "$tmp"' EXIT
cp -r "$work_src"/. "$tmp"/
rm -f "$tmp"/*.tmp
kv_start_xvfb "$tmp" || { echo "FAIL: Xvfb did not start"; exit 1; }
kv_start_openbox "$tmp/wm.log" || true
(cd "$tmp" && exec "$prog") >"$tmp/out.log" 2>&1 &
app_pid=$!

fail() { echo "FAIL: $*"; echo "windows:"; list_windows; cat "$tmp/out.log"; exit 1; }
list_windows() {
  xdotool search --onlyvisible --name '.' 2>/dev/null | while read -r w; do
    echo "  $w $(xdotool getwindowname "$w")"; done
}
# The first visible window whose title matches, waited for (up to 30 s: the machine
# may be busy).
wait_window() {
  local pattern=$1 w
  for _ in $(seq 300); do
    w=$(xdotool search --onlyvisible --name "$pattern" 2>/dev/null | head -1) || true
    [ -n "$w" ] && { echo "$w"; return 0; }
    sleep 0.1
  done
  return 1
}
activate() {
  xdotool windowactivate --sync "$1" 2>/dev/null || xdotool windowfocus --sync "$1" 2>/dev/null || true
  sleep 0.3
}
# A command of the main menu by its place in the bar: Alt, then Right as often as given.
menu() {
  activate "$frame"
  xdotool key alt
  sleep 0.3
  for _ in $(seq "$1"); do xdotool key Right; sleep 0.1; done
  xdotool key Return
}

frame=$(wait_window '^Kvimarot$') || fail "no window titled Kvimarot"
sleep 1

menu 0  # Гороскоп
dialog=$(wait_window 'Данные пользователя') || fail "no birth-data dialog"
activate "$dialog"
xdotool key F1
help=$(wait_window '^Помощь: Окно «Данные пользователя»') || fail "F1 opened no help on the birth-data dialog"
sleep 0.5
import -window root "$shots/help-birth.png"
echo "F1 in the birth-data dialog: $(xdotool getwindowname "$help")"
activate "$help"
xdotool key Escape
activate "$dialog"
xdotool key Return
frame=$(wait_window '^Kvimarot - \[Карта 1: ') || fail "OK opened no chart window"
sleep 1

# A planet glyph: the magenta of the planets on the wheel, right of the position table.
import -window root "$tmp/chart.png"
spot=$(convert "$tmp/chart.png" -crop 900x900+330+60 +repage txt:- |
  awk -F'[,: ]+' '!found && /#FF00FF/ { print $1 + 330 " " $2 + 60; found = 1 }')
[ -n "$spot" ] || fail "no planet glyph found on the wheel"
read -r gx gy <<<"$spot"
xdotool mousemove "$((gx + 2))" "$((gy + 2))" click 1
details=""
for _ in $(seq 50); do
  details=$(xdotool search --onlyvisible --name '.' 2>/dev/null | while read -r w; do
    n=$(xdotool getwindowname "$w"); case "$n" in Kvimarot*|"") ;; *) echo "$w"; break ;; esac
  done)
  [ -n "$details" ] && break
  sleep 0.1
done
[ -n "$details" ] || fail "a click on the planet at $gx,$gy opened no details"
body=$(xdotool getwindowname "$details")
grep -q "$body" <<<"Солнце Луна Меркурий Венера Марс Юпитер Сатурн Уран Нептун Плутон В.Узел Селена Хирон Прозерпина Лилит Н.Узел" ||
  fail "the details window '$body' is not a planet's"
sleep 0.5
import -frame -window "$details" "$shots/details.png"
echo "click on the wheel at $gx,$gy: details of $body"
activate "$details"
xdotool key Escape

menu 1  # Интерпретация: one chart, no question
wait_window '^Kvimarot - \[Интерпретация - Карта 1: ' >/dev/null || fail "Интерпретация opened no text"
text=$(ls "$tmp"/kvt*.tmp | tail -1)
# Converted once to a file: "iconv | grep -q" fails under pipefail when grep stops
# reading before iconv has written everything.
iconv -f CP1251 -t UTF-8 "$text" >"$tmp/interpretation.txt"
grep -q 'Натальная интерпретация: ' "$tmp/interpretation.txt" || fail "$text is no natal interpretation"
words=$(wc -w <"$tmp/interpretation.txt")
[ "$words" -gt 1000 ] || fail "the interpretation has $words words only"
# Two pages on: the preface ends and the planets begin.
activate "$frame"
xdotool key Next Next
sleep 0.5
import -frame -window "$frame" "$shots/interpretation.png"
echo "Интерпретация: $words words in $(basename "$text")"

menu 9  # Помощь
contents=$(wait_window '^Помощь: Содержание') || fail "Помощь opened no table of contents"
sleep 0.5
import -frame -window "$contents" "$shots/help-contents.png"
echo "Помощь: $(xdotool getwindowname "$contents")"
kill -0 $app_pid || fail "the program ended"
echo "PASS"
