# Sourced by the prepare scripts of the "interpret" cases: writes a small natal
# collection of two files in code page 866 into the current folder (a paragraph of
# its own ends in an "@@" trailer, which the window never shows) and sets the
# interpretation settings of kvi.ini: the Sun and the Moon in signs and houses, the
# Ascendant and the fourth cusp (LP 3 3 3), justification on (option byte 34), lines
# of 40 characters (Lf).
set -eu
to866() { iconv -f UTF-8 -t CP866; }
to866 >kvinat.csr <<'TEXT'
FILES=kvn_rest.csr
* a collection written for the golden test
@0 * preface
Короткое предисловие к толкованию. Оно идёт первым, строки
соединяются в абзац и выравниваются по ширине.

 Второй абзац начинается с пробела.
@000
Второе предисловие.
@IP01
О Солнце.
@IP02
О Луне.
@p01z12 p01z11 * two keys: the Sun in Pisces or in Aquarius
Солнце в Рыбах или в Водолее.
#М
Для мужчины.
#Ж
Для женщины: эта часть только в женской карте.
#
= служебная строка не печатается
# и комментарий тоже
Общий конец.

Последний абзац.@@пометка, её не видно


TEXT
to866 >kvn_rest.csr <<'TEXT'
@p02z07
Луна в Весах.
@h01z05
Асцендент во Льве.
@p01h09
Солнце в девятом доме.
@h04z07
Куспид четвёртого дома в Весах.
TEXT
LC_ALL=C awk '/^LP=/ { print "LP= 3 3 3 0 0 0 0 0 0 0   0 0 0 0 0 0 0 0 0 0"; next }
  /^Ov=/ { n = split(substr($0, 4), v, " "); v[35] = 1; line = "Ov=";
           for (i = 1; i <= n; ++i) line = line v[i] " "; print line; next }
  /^Lf=/ { print "Lf=40"; next } { print }' kvi.ini >kvi.ini.new
mv kvi.ini.new kvi.ini
