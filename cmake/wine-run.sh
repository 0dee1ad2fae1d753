#!/usr/bin/env bash
# Runs a Windows program under Wine for CTest (the build's
# CMAKE_CROSSCOMPILING_EMULATOR). wine64 hands 32-bit programs to Wine's
# 32-bit loader (Debian package wine32:i386) in the same prefix.
# Usage: wine-run.sh WINEPREFIX PROGRAM [ARGUMENTS...]
#        wine-run.sh WINEPREFIX     (only creates the prefix)
# With ZANT_WINE_EXEC=1 the script becomes Wine itself once the server runs:
# the caller's signals reach the program (Wine makes SIGINT the console's
# Ctrl-C event) and its output goes where the caller sent it as it comes,
# lines ending CR LF. For the tests that stop a program while it runs.
set -u

export WINEPREFIX="$1"
shift
export WINEDEBUG=-all
# Never interactive: no .NET or HTML engine installers, no desktop menu
# entries, no display for dialogs to appear on.
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe=d"
unset DISPLAY WAYLAND_DISPLAY
wine=${ZANT_WINE:-/usr/lib/wine/wine64}

wineserver="$(dirname "$wine")/wineserver"

# The first run creates the prefix, and the first run of a test session starts
# the server; runs started meanwhile wait.
(
    flock 9
    if [[ ! -f "$WINEPREFIX/system.reg" ]]; then
        "$wine" wineboot --init </dev/null >/dev/null 2>&1 9>&-
        # The registry reaches the disk when the server ends.
        "$wineserver" -w
    fi
    (($#)) || exit 0
    # One server for the whole session: Debian's wineserver otherwise ends as
    # soon as its last client does, and the next test's start can race its
    # exit ("recvmsg: Connection reset by peer"). It fails when one runs. It
    # must not inherit the lock, which it would hold for its whole life.
    "$wineserver" -p30 </dev/null >/dev/null 2>&1 9>&-
) 9>"$WINEPREFIX.lock"
(($#)) || exit 0
if [[ ${ZANT_WINE_EXEC:-} == 1 ]]; then
    # wine64 starts a 32-bit program through start.exe, which a signal would
    # then reach instead: Wine's 32-bit loader runs it as this very process.
    # The PE header's machine (0x14c: i386) says which program this is.
    offset=$(od -An -tu4 -j60 -N4 "$1" 2>/dev/null)
    machine=$(od -An -tx2 -j$((${offset:-0} + 4)) -N2 "$1" 2>/dev/null)
    if [[ ${machine// /} == 014c && -x "$(dirname "$wine")/wine" ]]; then
        wine="$(dirname "$wine")/wine"
    fi
    exec "$wine" "$@"
fi

# Wine's background processes (services, devices) live as long as the server
# and inherit the output of the program that started them: the program writes
# to files, so that CTest does not wait for them to end. Windows programs end
# their lines with CRLF; the test discovery and output checks expect LF.
output=$(mktemp)
errors=$(mktemp)
trap 'rm -f "$output" "$errors"' EXIT
started=$SECONDS
"$wine" "$@" >"$output" 2>"$errors"
status=$?
# A start that meets the server's own start or end can fail at once without
# a word (seen once in CI, not reproduced in dozens of runs since). Such
# a run is made once more, and says so; a program that fails by itself fails
# the same way again.
if ((status != 0 && SECONDS - started <= 1)) && [[ ! -s "$output" && ! -s "$errors" ]]; then
    echo "wine-run.sh: $1 ended at once with status $status and no output; running it again" >&2
    "$wine" "$@" >"$output" 2>"$errors"
    status=$?
fi
tr -d '\r' <"$output"
tr -d '\r' <"$errors" >&2
exit $status
