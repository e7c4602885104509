#!/usr/bin/env bash
# start: makes a fresh private Wine prefix and an X server for one test run.
# stop: ends the Wine server and the X server again.
set -eu
. "$(dirname "$0")/wine-env.sh"

fail() { echo "wine-session: $*" >&2; exit 1; }

start() {
  command -v wine >/dev/null || fail "wine is not installed (run scripts/setup.sh as root)"
  command -v Xvfb >/dev/null || fail "Xvfb is not installed (run scripts/setup.sh as root)"
  mkdir -p "$ORV_WINE_STATE"
  stop_quietly
  local display=""
  for n in $(seq 90 140); do
    if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then display=":$n"; break; fi
  done
  [ -n "$display" ] || fail "no free X display number"
  Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >"$ORV_WINE_STATE/xvfb.log" 2>&1 &
  echo $! >"$ORV_WINE_STATE/xvfb.pid"
  echo "$display" >"$ORV_WINE_STATE/display"
  export DISPLAY="$display"
  for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X${display#:}" ] && break; sleep 0.1; done
  [ -e "/tmp/.X11-unix/X${display#:}" ] || fail "Xvfb did not start on $display (see $ORV_WINE_STATE/xvfb.log)"
  rm -rf "$WINEPREFIX"
  wineboot -i >"$ORV_WINE_STATE/wineboot.log" 2>&1 || fail "wineboot failed (see $ORV_WINE_STATE/wineboot.log)"
  wineserver -w
  # One server for the whole run keeps each program start short.
  wineserver -p
  [ -f "$WINEPREFIX/system.reg" ] || fail "the Wine prefix was not created"
  echo "wine prefix $WINEPREFIX ready on display $display"
}

stop_quietly() {
  if [ -d "$WINEPREFIX" ]; then wineserver -k >/dev/null 2>&1 || true; fi
  if [ -f "$ORV_WINE_STATE/xvfb.pid" ]; then
    kill "$(cat "$ORV_WINE_STATE/xvfb.pid")" >/dev/null 2>&1 || true
    rm -f "$ORV_WINE_STATE/xvfb.pid" "$ORV_WINE_STATE/display"
  fi
}

case "${1:-}" in
  start) start ;;
  stop) stop_quietly; echo "wine session stopped" ;;
  *) fail "usage: wine-session.sh start|stop" ;;
esac
