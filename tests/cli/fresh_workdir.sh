# Sourced by the command-line tests: makes a fresh working directory in $KV_TMP/work
# from the built one, with the shipped kvi.ini (the built one may have been rewritten
# by the window program), and an environment without a display.
#   $1 built working directory, $2 data folder of the sources, $3 kv-recode
kv_fresh_workdir() {
  local built=$1 data=$2 recode=$3
  KV_TMP=$(mktemp -d)
  trap 'rm -rf "$KV_TMP"' EXIT
  KV_WORK=$KV_TMP/work
  mkdir -p "$KV_WORK" "$KV_TMP/xdg"
  chmod 700 "$KV_TMP/xdg"
  for f in kvima.t 0.ao dirswe.ctl atm.ttf daycour.ttf; do
    cp "$built/$f" "$KV_WORK/"
  done
  "$recode" 1251 "$data/kvi.ini" "$KV_WORK/kvi.ini"
}

# Runs a command with the users' locale and no display.
kv_headless() {
  env -i PATH=/usr/bin:/bin HOME="$KV_TMP" XDG_RUNTIME_DIR="$KV_TMP/xdg" LANG=ru_RU.UTF-8 "$@"
}
