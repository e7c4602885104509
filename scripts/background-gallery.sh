#!/usr/bin/env bash
# Photographs the background window in each of its looks and the progress
# dialog in each layout into docs/gallery/ (see docs/gallery.md): runs the
# shot suites of windows_tests.exe (tests/win/background_test.cpp) in a
# private Wine session, then turns the screens into PNG files. Not part of
# the tests: a person looks at the pictures. About two minutes.
#
# The build it uses (defaults: the build/ folder of this checkout):
#   ORV_WINDOWS_TESTS  windows_tests.exe            (build/cross/bin/windows_tests.exe)
#   ORV_WINE_STATE     the Wine prefix and display  (build/wine-gallery)
#   ORV_GALLERY_OUT    where the pictures go        (docs/gallery)
set -eu
root="$(cd "$(dirname "$0")/.." && pwd)"
tests="${ORV_WINDOWS_TESTS:-$root/build/cross/bin/windows_tests.exe}"
out="${ORV_GALLERY_OUT:-$root/docs/gallery}"
export ORV_WINE_STATE="${ORV_WINE_STATE:-$root/build/wine-gallery}"
export WINEPREFIX="$ORV_WINE_STATE/prefix"
export XDG_DATA_HOME="$ORV_WINE_STATE/xdg"

fail() { echo "background-gallery: $*" >&2; exit 1; }
[ -f "$tests" ] || fail "no $tests (set ORV_WINDOWS_TESTS)"
command -v convert >/dev/null || fail "ImageMagick's convert is needed"

mkdir -p "$ORV_WINE_STATE" "$out"
"$root/scripts/wine-session.sh" start
trap '"$root/scripts/wine-session.sh" stop >/dev/null' EXIT
# Without a window manager Wine draws the frames and captions itself.
"$root/scripts/wine-run.sh" reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null
shots="$ORV_WINE_STATE/shots"
rm -rf "$shots"
mkdir -p "$shots"
ORV_BACKGROUND_SHOTS="Z:${shots//\//\\}" WINEDEBUG=-all "$root/scripts/wine-run.sh" "$tests" \
  --gtest_filter='*BackgroundShots*:*ProgressShots*' >"$shots/run.log" 2>&1 || fail "the shots failed, see $shots/run.log"
for bmp in "$shots"/*.bmp; do
  name=$(basename "$bmp" .bmp)
  case "$name" in
    progress-plain|progress-side-picture|progress-header) convert "$bmp" "$out/$name.png" ;;
    progress-plain-screen|progress-side-picture-screen) ;;  # one screen with the dialog is enough
    *) convert "$bmp" -resize 640x "$out/$name.png" ;;
  esac
done
echo "background-gallery: done; the screens in full size are in $shots"
