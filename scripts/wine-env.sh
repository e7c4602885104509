# Sourced by the Wine helpers: the private prefix and X display of a test run.
# ORV_WINE_STATE names the folder that holds the prefix and the display file.
: "${ORV_WINE_STATE:?ORV_WINE_STATE must name the Wine state folder}"
export WINEPREFIX="${WINEPREFIX:-$ORV_WINE_STATE/prefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
if [ -f "$ORV_WINE_STATE/display" ]; then
  DISPLAY="$(cat "$ORV_WINE_STATE/display")"
  export DISPLAY
fi
