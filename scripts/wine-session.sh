#!/usr/bin/env bash
# start: makes a fresh private Wine prefix and an X server for one test run.
# stop: ends the Wine server and the X server again.
#
# A new prefix is a copy of a pristine template made once per machine and
# Wine version: 32-bit Wine may run under an emulator here, where wineboot
# takes many minutes, and every run starts from the same clean system anyway.
set -eu
. "$(dirname "$0")/wine-env.sh"

TEMPLATE_ROOT="${ORV_WINE_TEMPLATE_ROOT:-/var/cache/orvanta-setup}"

fail() { echo "wine-session: $*" >&2; exit 1; }

start_x_server() {
  local display=""
  for n in $(seq 90 140); do
    if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then display=":$n"; break; fi
  done
  [ -n "$display" ] || fail "no free X display number"
  Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp </dev/null >"$ORV_WINE_STATE/xvfb.log" 2>&1 &
  echo $! >"$ORV_WINE_STATE/xvfb.pid"
  echo "$display" >"$ORV_WINE_STATE/display"
  export DISPLAY="$display"
  for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X${display#:}" ] && return 0; sleep 0.1; done
  fail "Xvfb did not start on $display (see $ORV_WINE_STATE/xvfb.log)"
}

# Prints the template folder for this Wine version, making it when missing.
template_prefix() {
  local version template
  version="$(wine --version 2>/dev/null | tr -c 'A-Za-z0-9.\n-' '_')"
  template="$TEMPLATE_ROOT/wine-template-$version"
  mkdir -p "$TEMPLATE_ROOT"
  (
    flock 9
    if [ ! -f "$template/.complete" ]; then
      echo "wine-session: making the Wine prefix template $template (once per machine)" >&2
      rm -rf "$template"
      WINEPREFIX="$template" wineboot -i </dev/null >"$TEMPLATE_ROOT/wineboot.log" 2>&1 ||
        { echo "wine-session: wineboot failed (see $TEMPLATE_ROOT/wineboot.log)" >&2; exit 1; }
      WINEPREFIX="$template" wineserver -w
      [ -f "$template/system.reg" ] || { echo "wine-session: wineboot made no prefix" >&2; exit 1; }
      touch "$template/.complete"
    fi
  ) 9>"$TEMPLATE_ROOT/.lock" || exit 1
  echo "$template"
}

start() {
  command -v wine >/dev/null || fail "wine is not installed (run scripts/setup.sh as root)"
  command -v Xvfb >/dev/null || fail "Xvfb is not installed (run scripts/setup.sh as root)"
  mkdir -p "$ORV_WINE_STATE"
  stop_quietly
  local template
  template="$(template_prefix)" || fail "no Wine prefix template"
  rm -rf "$WINEPREFIX"
  cp -a "$template" "$WINEPREFIX"
  rm -f "$WINEPREFIX/.complete"
  start_x_server
  # One server for the whole run keeps each program start short. Its output
  # goes nowhere: an inherited pipe would keep the test runner waiting.
  wineserver -p </dev/null >/dev/null 2>&1
  # The prefix's services start with its first program and live as long as
  # the server; started here, they hold no test's output pipe open.
  local loader=wine
  [ -x /usr/lib/wine/wine64 ] && loader=/usr/lib/wine/wine64
  "$loader" wineboot </dev/null >/dev/null 2>&1 || fail "the Wine prefix does not start"
  # Batches start the interpreter that ComSpec names. The 32-bit one runs
  # under the i386 emulator here and takes about a minute to start; the
  # 64-bit one, which a 32-bit program reaches through its "sysnative"
  # folder, starts at once and runs the same batches.
  "$loader" reg add 'HKLM\System\CurrentControlSet\Control\Session Manager\Environment' /v ComSpec \
    /t REG_EXPAND_SZ /d 'C:\windows\sysnative\cmd.exe' /f </dev/null >/dev/null 2>&1 ||
    fail "ComSpec could not be set"
  echo "wine prefix $WINEPREFIX ready on display $DISPLAY"
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
