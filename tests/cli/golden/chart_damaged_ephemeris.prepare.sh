#!/usr/bin/env bash
# ./ephe: a copy of the installed ephemeris files whose planet file lost its second
# half, as after an interrupted copy.
#   chart_damaged_ephemeris.prepare.sh BUILT_WORKDIR
set -eu
src=$(grep -v '^\*' "$1/dirswe.ctl" | head -1)
mkdir ephe
cp "$src"/sepl_18.se1 "$src"/semo_18.se1 "$src"/seas_18.se1 ephe/
size=$(stat -c %s ephe/sepl_18.se1)
truncate -s $((size / 2)) ephe/sepl_18.se1
