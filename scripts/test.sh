#!/usr/bin/env bash
# Builds everything and runs every test: native unit tests, Windows tests
# under Wine and end-to-end installers under Wine.
set -eu
cd "$(dirname "$0")/.."
if [ "$(id -u)" = 0 ]; then scripts/setup.sh; fi
cmake --preset default
cmake --build --preset default
ctest --preset default "$@"
