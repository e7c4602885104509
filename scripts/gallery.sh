#!/usr/bin/env bash
# Photographs every page of the wizard in each of its layouts into
# docs/gallery/ (see docs/gallery.md): builds installers of a small product
# of its own, starts a private Wine session, walks one installer run per
# layout, one for the must-uninstall page and one at 144 DPI, then stops the
# session. Not part of the tests: a person looks at the pictures.
#
#   scripts/gallery.sh [gallery.py options, e.g. --runs header]
#
# The build it uses (defaults: the build/ folder of this checkout):
#   ORV_RUNTIME     the runtime orvanta-setup.exe   (build/cross/bin/orvanta-setup.exe)
#   ORV_PACK        the authoring tool              (build/bin/orvanta-pack)
#   ORV_TOOLS_BIN   launch.exe and uidriver.exe     (build/tools64)
#   ORV_WINE_STATE  the Wine prefix and display     (build/wine-gallery)
#   ORV_GALLERY_OUT where the pictures go           (docs/gallery)
set -eu
root="$(cd "$(dirname "$0")/.." && pwd)"
runtime="${ORV_RUNTIME:-$root/build/cross/bin/orvanta-setup.exe}"
pack="${ORV_PACK:-$root/build/bin/orvanta-pack}"
tools="${ORV_TOOLS_BIN:-$root/build/tools64}"
out="${ORV_GALLERY_OUT:-$root/docs/gallery}"
export ORV_WINE_STATE="${ORV_WINE_STATE:-$root/build/wine-gallery}"
export WINEPREFIX="$ORV_WINE_STATE/prefix"
# Wine's menu entries and file associations stay in the state folder.
export XDG_DATA_HOME="$ORV_WINE_STATE/xdg"

fail() { echo "gallery: $*" >&2; exit 1; }
[ -f "$runtime" ] || fail "no runtime $runtime (set ORV_RUNTIME)"
[ -x "$pack" ] || fail "no authoring tool $pack (set ORV_PACK)"
[ -f "$tools/uidriver.exe" ] && [ -f "$tools/launch.exe" ] || fail "no uidriver.exe and launch.exe in $tools (set ORV_TOOLS_BIN)"
command -v import >/dev/null && command -v convert >/dev/null || fail "ImageMagick's import and convert are needed"

start=$(date +%s)
mkdir -p "$ORV_WINE_STATE"
"$root/scripts/wine-session.sh" start
trap '"$root/scripts/wine-session.sh" stop >/dev/null' EXIT
work="$ORV_WINE_STATE/work"
rm -rf "$work"
python3 "$root/scripts/gallery.py" --out "$out" --work "$work" --runtime "$runtime" --pack "$pack" \
  --tools "$tools" "$@"
echo "gallery: done in $(( $(date +%s) - start )) s; full-colour crops and the pages' controls are in $work/raw"
