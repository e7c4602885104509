#!/usr/bin/env bash
# Runs the Windows tests (one program start) under the test run's Wine
# prefix. Under the i386 emulator the test program has been seen to stop for
# good in the middle of a system call, and to die of a segmentation fault
# inside the emulator, each time at a different test and only now and then.
# A run that does not end within the time limit, or that dies of a signal,
# therefore has its last lines shown and is run again, up to three times in
# all; a test that fails fails the run at once.
#   scripts/win-tests.sh windows_tests.exe [gtest options...]
set -u
here="$(dirname "$0")"
# A whole run takes one to two and a half minutes.
limit="${ORV_WIN_TESTS_LIMIT:-300}"
log="$(mktemp)"
trap 'rm -f "$log"' EXIT

for attempt in 1 2 3; do
  timeout --kill-after=10 "$limit" "$here/wine-run.sh" "$@" >"$log" 2>&1
  status=$?
  case "$status" in
    124 | 137) reason="did not end within ${limit}s" ;;
    134 | 135 | 139) reason="died of signal $((status - 128))" ;;
    *)
      cat "$log"
      exit "$status"
      ;;
  esac
  echo "win-tests: attempt $attempt $reason; its last lines:"
  tail -n 5 "$log"
done
exit 1
