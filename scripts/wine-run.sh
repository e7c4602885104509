#!/usr/bin/env bash
# Runs a Windows program under the test run's Wine prefix; the exit code is the program's.
# A 64-bit program goes straight to Wine's 64-bit loader: the generic "wine"
# command would first start the 32-bit loader, which may run under an emulator.
set -u
. "$(dirname "$0")/wine-env.sh"

is_pe32_plus() {
  [ -f "$1" ] || return 1
  local pe magic
  pe=$(od -An -t u4 -j 60 -N 4 "$1" 2>/dev/null | tr -d ' ') || return 1
  [ -n "$pe" ] || return 1
  magic=$(od -An -t x2 -j $((pe + 24)) -N 2 "$1" 2>/dev/null | tr -d ' ')
  [ "$magic" = "020b" ]
}

if [ -x /usr/lib/wine/wine64 ] && is_pe32_plus "${1:-}"; then
  exec /usr/lib/wine/wine64 "$@"
fi
exec wine "$@"
