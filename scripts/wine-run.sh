#!/usr/bin/env bash
# Runs a Windows program under the test run's Wine prefix; the exit code is the program's.
set -u
. "$(dirname "$0")/wine-env.sh"
exec wine "$@"
