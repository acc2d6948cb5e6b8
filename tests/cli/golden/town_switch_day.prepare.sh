#!/usr/bin/env bash
# The towns database as chart_town has it.
set -eu
. "$(dirname "$0")/chart_town.prepare.sh" "$1"
