#!/usr/bin/env bash
# kvimarot-db end to end: UTF-8 in and out, new keys, sorted lists, and a damaged file
# that is refused, described by check and left byte for byte as it was.
set -euo pipefail
tool="$1"
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cd "$dir"
fail() { echo "FAIL: $*"; exit 1; }

"$tool" create cards
[ "$("$tool" put cards - 2=Пётр 3=05.03.1990 7=Москва)" = ".000001" ] || fail "first new key"
[ "$("$tool" put cards - 2=Анна 3=01.12.1850)" = ".000002" ] || fail "second new key"
"$tool" get cards .000001 | grep -qx "2=Пётр" || fail "text round trip"
"$tool" get cards .000001 | grep -qx "7=Москва" || fail "field 7"
# Stored in code page 1251: "Пётр" is CF B8 F2 F0.
grep -q "$(printf '\xcf\xb8\xf2\xf0')" cards.bod || fail "stored code page"
[ "$("$tool" list cards --sort 3 | cut -f1 | tr '\n' ' ')" = ".000002 .000001 " ] || fail "date order"
"$tool" put cards .000001 3= >/dev/null
"$tool" get cards .000001 | grep -q "^3=" && fail "field cleared"
"$tool" delete cards .000002
"$tool" get cards .000002 2>/dev/null && fail "deleted record read"
"$tool" check cards | grep -q "^consistent" || fail "check of a sound database"
if "$tool" create cards 2>err.txt; then fail "create over an existing database"; fi
# The message names the file; its format key is never filled like a printf format.
grep -q "cards.bod" err.txt || fail "create over an existing database: $(cat err.txt)"
grep -qE 'F-?[0-9]+s' err.txt && fail "format key used as a format: $(cat err.txt)"
# Field numbers: a long spelling of 2 is still field 2; anything else is refused.
"$tool" put cards .000001 00000000000000000000002=Павел >/dev/null || fail "long field number"
"$tool" get cards .000001 | grep -qx "2=Павел" || fail "long field number stored"
for bad in 1=x 256=x 2x=x =x x 99999999999999999999=x; do
  set +e; "$tool" put cards .000001 "$bad" 2>/dev/null; rc=$?; set -e
  [ $rc -eq 2 ] || fail "field assignment '$bad' gave status $rc"
done
set +e; "$tool" list cards --sort x >/dev/null 2>&1; rc=$?; set -e
[ $rc -eq 2 ] || fail "sort field x gave status $rc"

# A data length running past its block.
printf '\xa0\x0f' | dd of=cards.bod bs=1 seek=6 conv=notrunc 2>/dev/null
sum=$(md5sum cards.bod cards.btr)
if "$tool" put cards .000001 2=X 2>err.txt; then fail "write into a damaged file"; fi
grep -q "повреждён" err.txt || fail "message for a damaged file"
[ "$(md5sum cards.bod cards.btr)" = "$sum" ] || fail "damaged file changed"
if "$tool" check cards >out.txt; then fail "check of a damaged file"; fi
grep -q "^damaged: cards.bod: block 0" out.txt || fail "check names the block"
# Deleting from the damaged block is refused before the key index changes.
if "$tool" delete cards .000001 2>err.txt; then fail "delete from a damaged block"; fi
grep -q "повреждён" err.txt || fail "message for a delete from a damaged block"
[ "$(md5sum cards.bod cards.btr)" = "$sum" ] || fail "delete changed a damaged database"
echo "kvimarot-db: 1 passed, 0 failed"
