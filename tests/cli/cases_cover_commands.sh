#!/usr/bin/env bash
# Every command in the table of app/cli/commands.cpp has at least one golden case and
# at least one case of a usage error (exit status 2).
#   cases_cover_commands.sh COMMANDS_CPP CASES GOLDEN_DIR
set -uo pipefail
table=$1 cases=$2 golden=$3
# The command word of each case: the first argument that is not a common option.
declare -A used refused
while IFS='|' read -r name _ args; do
  name=$(echo "$name" | xargs)
  eval "set -- $args"
  while [ $# -gt 0 ]; do
    case $1 in
      --ephe|--workdir) shift 2 ;;
      --no-settings) shift ;;
      *) break ;;
    esac
  done
  [ $# -gt 0 ] || continue
  used[$1]=1
  grep -q '^== status 2$' "$golden/$name.txt" 2>/dev/null && refused[$1]=1
done < <(grep -E '^[a-z0-9_]+ *\|' "$cases")

status=0
for command in $(grep -oE '^\s*\{"[a-z-]+", "cliU' "$table" | grep -oE '"[a-z-]+"' | tr -d '"'); do
  [ -n "${used[$command]:-}" ] || { echo "no golden case runs '$command'"; status=1; }
  [ -n "${refused[$command]:-}" ] || { echo "no golden case of a usage error of '$command'"; status=1; }
done
exit $status
