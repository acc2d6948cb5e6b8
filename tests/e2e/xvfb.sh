# Sourced by the end-to-end scripts: a virtual X server of the script's own.
#
# kv_start_xvfb DIR starts Xvfb on a display number taken at random from 100-899, so
# that test runs sharing the machine do not meet on the lowest free one, with its
# messages in DIR/xvfb.log. It waits until a client can connect, exports DISPLAY, sets
# xvfb_pid and unsets QT_QPA_PLATFORM; it fails after 20 numbers tried. The server does
# not reset when its last client leaves: the program, started right after the client
# that checked the server, would meet it resetting and could not connect.
# kv_stop_xvfb stops the server and waits until it has gone (leaving, it removes the
# socket of its number).
# kv_start_openbox LOG starts the openbox window manager on that server, its messages
# in LOG, sets wm_pid and waits until it has claimed the root window's supporting-WM
# check; it fails when that does not come within 20 s.

kv_start_xvfb() {
  local dir=$1 n
  for _ in $(seq 20); do
    n=$((100 + RANDOM % 800))
    [ -e "/tmp/.X$n-lock" ] && continue
    rm -f "$dir/display"
    Xvfb ":$n" -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$dir/display" \
      >"$dir/xvfb.log" 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 100); do
      [ -s "$dir/display" ] && break
      kill -0 "$xvfb_pid" 2>/dev/null || break
      sleep 0.1
    done
    if [ -s "$dir/display" ]; then
      export DISPLAY=":$(head -1 "$dir/display")"
      for _ in $(seq 50); do
        if xdpyinfo >/dev/null 2>&1; then
          unset QT_QPA_PLATFORM
          return 0
        fi
        sleep 0.1
      done
    fi
    kv_stop_xvfb
  done
  return 1
}

kv_stop_xvfb() {
  [ -n "${xvfb_pid:-}" ] || return 0
  kill "$xvfb_pid" 2>/dev/null || true
  wait "$xvfb_pid" 2>/dev/null || true
  xvfb_pid=
}

kv_start_openbox() {
  openbox --sm-disable >"$1" 2>&1 &
  wm_pid=$!
  for _ in $(seq 200); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && return 0
    sleep 0.1
  done
  return 1
}
