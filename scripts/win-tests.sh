#!/usr/bin/env bash
# Runs the Windows tests (one program start) under the test run's Wine
# prefix. Under the i386 emulator the test program has been seen to stop
# for good in the middle of a system call, at a different test each time;
# a run that has not ended after the time limit is therefore ended, its
# last lines shown, and run once more.
#   scripts/win-tests.sh windows_tests.exe [gtest options...]
set -u
here="$(dirname "$0")"
limit="${ORV_WIN_TESTS_LIMIT:-600}"
log="$(mktemp)"
trap 'rm -f "$log"' EXIT

for attempt in 1 2; do
  timeout --kill-after=10 "$limit" "$here/wine-run.sh" "$@" >"$log" 2>&1
  status=$?
  if [ "$status" -ne 124 ] && [ "$status" -ne 137 ]; then
    cat "$log"
    exit "$status"
  fi
  echo "win-tests: attempt $attempt did not end within ${limit}s; its last lines:" >&2
  tail -n 5 "$log" >&2
done
exit 1
