#!/usr/bin/env bash
# Builds the runtime and runs it under Wine. Without a payload it shows the
# message that no installation data is present; the UI driver reads the box,
# a screenshot is saved, and the box is answered.
set -eu
cd "$(dirname "$0")/.."
if [ "$(id -u)" = 0 ]; then scripts/setup.sh; fi
cmake --preset default
cmake --build --preset default
export ORV_WINE_STATE="$PWD/build/demo-wine"
scripts/wine-session.sh start
trap 'scripts/wine-session.sh stop >/dev/null' EXIT
runtime="Z:$(pwd | tr / '\\')\\build\\cross\\bin\\orvanta-setup.exe"
scripts/wine-run.sh build/tools64/launch.exe "$runtime" "" >/dev/null &
launcher=$!
echo "The runtime shows:"
scripts/wine-run.sh build/tools64/uidriver.exe wait --class '#32770' --timeout 300
DISPLAY="$(cat "$ORV_WINE_STATE/display")" import -window root build/demo-screenshot.png || true
scripts/wine-run.sh build/tools64/uidriver.exe answer --class '#32770' --id 1 --timeout 10 >/dev/null
code=0
wait "$launcher" || code=$?
echo "Screenshot: build/demo-screenshot.png"
echo "Exit code of the runtime: $code"
