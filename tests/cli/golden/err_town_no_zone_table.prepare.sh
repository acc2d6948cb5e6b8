#!/usr/bin/env bash
# The towns database without "popa.ctl": no correction can be taken for a town.
set -eu
. "$(dirname "$0")/chart_town.prepare.sh" "$1"
rm popa.ctl
