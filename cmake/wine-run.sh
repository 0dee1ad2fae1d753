#!/usr/bin/env bash
# Runs a 64-bit Windows program under Wine for CTest (the build's
# CMAKE_CROSSCOMPILING_EMULATOR).
# Usage: wine-run.sh WINEPREFIX PROGRAM [ARGUMENTS...]
#        wine-run.sh WINEPREFIX     (only creates the prefix)
set -uo pipefail

export WINEPREFIX="$1"
shift
export WINEDEBUG=-all
# Never interactive: no .NET or HTML engine installers, no desktop menu
# entries, no display for dialogs to appear on.
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe=d"
unset DISPLAY WAYLAND_DISPLAY
wine=${ZANT_WINE:-/usr/lib/wine/wine64}

# The first run creates the prefix; runs started meanwhile wait for it.
if [[ ! -f "$WINEPREFIX/system.reg" ]]; then
    mkdir -p "$(dirname "$WINEPREFIX")"
    (
        flock 9
        if [[ ! -f "$WINEPREFIX/system.reg" ]]; then
            "$wine" wineboot --init >/dev/null 2>&1
            # The registry reaches the disk when the server ends.
            "$(dirname "$wine")/wineserver" -w
        fi
    ) 9>"$WINEPREFIX.lock"
fi
(($#)) || exit 0

# Windows programs end their lines with CRLF; the test discovery and output
# checks expect LF. pipefail keeps the program's exit status.
"$wine" "$@" | tr -d '\r'
