#!/usr/bin/env bash
# The towns database, its schema and the time-zone table of the built working directory.
#   chart_town.prepare.sh BUILT_WORKDIR
set -eu
cp "$1"/towns.btz "$1"/towns.bbb "$1"/towns.bnz "$1"/shembd.ctl "$1"/popa.ctl .
