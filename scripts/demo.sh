#!/usr/bin/env bash
# The main job: builds the runtime and the authoring tool, packs the example
# product, shows what the installer holds, and runs under Wine first the bare
# runtime (which says that it carries no installation data; the box is read
# through the UI driver and photographed) and then the example installer in
# automatic mode, lists what it installed, the log it wrote and its
# registration, then uninstalls it with the registered quiet command and
# shows that nothing is left.
set -eu
cd "$(dirname "$0")/.."
if [ "$(id -u)" = 0 ]; then scripts/setup.sh; fi
cmake --preset default
cmake --build --preset default

installer=build/demo/demo-setup.exe
mkdir -p build/demo
build/bin/orvanta-pack build examples/demo/project.toml -o "$installer" --runtime build/cross/bin/orvanta-setup.exe
echo "== What the installer holds (orvanta-pack inspect, first lines) =="
build/bin/orvanta-pack inspect "$installer" | head -40

export ORV_WINE_STATE="$PWD/build/demo-wine"
scripts/wine-session.sh start
trap 'scripts/wine-session.sh stop >/dev/null' EXIT
winpath() { echo "Z:$(realpath "$1" | tr / '\\')"; }

echo "== The bare runtime under Wine =="
scripts/wine-run.sh build/tools64/launch.exe "$(winpath build/cross/bin/orvanta-setup.exe)" "" >/dev/null &
launcher=$!
scripts/wine-run.sh build/tools64/uidriver.exe wait --class '#32770' --timeout 600
DISPLAY="$(cat "$ORV_WINE_STATE/display")" import -window root build/demo/bare-runtime.png || true
scripts/wine-run.sh build/tools64/uidriver.exe answer --class '#32770' --id 1 --timeout 10 >/dev/null
code=0; wait "$launcher" || code=$?
echo "Exit code: $code (screenshot: build/demo/bare-runtime.png)"

echo "== The example installer with /a =="
code=0
scripts/wine-run.sh build/tools64/launch.exe "$(winpath "$installer")" "$(printf '/a' | od -An -tx1 | tr -d ' \n')" >/dev/null || code=$?
echo "Exit code: $code (an installation run always ends with 1)"

drive_c="${WINEPREFIX:-$ORV_WINE_STATE/prefix}/drive_c"
product="$drive_c/Program Files (x86)/Orvanta Samples/Orvanta Demo"
echo "== What it installed =="
(cd "$drive_c" && find "Program Files (x86)/Orvanta Samples" "Program Files (x86)/Common Files/Orvanta Samples" -type f -printf '%10s  C:/%p\n' 2>/dev/null)
echo "== Its Install.LOG =="
tr -d '\r' <"$product/Uninstall/Install.LOG"

reg64() { scripts/wine-run.sh "$drive_c/windows/system32/reg.exe" "$@"; }
uninstall_key='HKLM\Software\Wow6432Node\Microsoft\Windows\CurrentVersion\Uninstall\Orvanta Demo'
echo "== Its registration in the system's list of programs =="
reg64 query "$uninstall_key" | tr -d '\r'

echo "== Uninstalling with the quiet command as registered =="
quiet="$(reg64 query "$uninstall_key" /v QuietUninstallString | tr -d '\r' | sed -n 's/.*REG_SZ    //p')"
echo "QuietUninstallString: $quiet"
uninstaller="$(printf '%s' "$quiet" | sed -n 's/^"\([^"]*\)" .*/\1/p')"
tail="$(printf '%s' "$quiet" | sed -n 's/^"[^"]*" //p')"
code=0
scripts/wine-run.sh build/tools64/launch.exe "$uninstaller" "$(printf '%s' "$tail" | od -An -tx1 | tr -d ' \n')" >/dev/null || code=$?
echo "Exit code: $code"
# The uninstaller's own file goes with a batch that waits for it to end.
for _ in $(seq 240); do [ -d "$product" ] || break; sleep 0.5; done

echo "== What is left =="
if [ -d "$product" ]; then echo "the product folder is still there"; else echo "no product folder"; fi
if reg64 query "$uninstall_key" >/dev/null 2>&1; then echo "the registration is still there"; else echo "no registration"; fi
# Not removed yet: the shared library (shared files are released once their
# reference counts are kept), the installation-directory value (it goes with
# the product's registry key) and the empty publisher folder above the
# installation folder, which no installation records.
echo "Left in Program Files (x86):"
(cd "$drive_c" && find "Program Files (x86)/Orvanta Samples" "Program Files (x86)/Common Files/Orvanta Samples" -printf '  C:/%p\n' 2>/dev/null) || true
echo "Left in the registry:"
reg64 query 'HKCU\Software\Orvanta Samples\Orvanta Demo' 2>/dev/null | tr -d '\r' | sed -n 's/^    /  /p'
