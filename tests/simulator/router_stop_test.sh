#!/bin/sh
# router_stop_test.sh PEER... -- PANEL_HOST ARGS...: Ctrl-C while panel_host
# waits for a router, with --router-deadline 30000, ends the run within 5 s.
# While a step waits for a router that acknowledges a Take and never carries
# it out, it ends as a host ends: the stop traced and the component
# destroyed; while the start waits for a router that never sends its dump,
# with the line that says so. PEER... is the peer's command line
# (under Wine: ZANT_WINE_EXEC=1 cmake/wine-run.sh PREFIX videohub_peer.exe, so
# that SIGINT reaches panel_host.exe as the console's Ctrl-C event).
# ZANT_STOP_NAME is how the run names the stop (default SIGINT; Windows
# programs say CTRL_C_EVENT).
set -u
stop=${ZANT_STOP_NAME:-SIGINT}
. "$(dirname "$0")/../videohub/script_support.sh"
peer=""
while [ "$1" != "--" ]; do
    peer="$peer $1"
    shift
done
shift
work=$(mktemp -d)
running=""
trap '[ -n "$running" ] && kill "$running" 2>/dev/null; rm -rf "$work"' EXIT

# start_peer ARGS...: the peer in the background, its port in $port.
start_peer() {
    rm -f "$work/port"
    # shellcheck disable=SC2086 # the peer's command line, split as given
    $peer "$@" --port-file "$work/port" >"$work/peer" 2>&1 &
    running=$!
    port=$(wait_for_port "$work/port")
    [ -n "$port" ] || { echo "FAILED: the peer did not start"; cat "$work/peer"; exit 1; }
}

# interrupt PID: SIGINT, then waits up to 10 s for PID to end; $elapsed is
# how long it took, in whole seconds. The run's lines are in $work/lines.
interrupt() {
    started=$(date +%s)
    kill -INT "$1"
    for _ in $(seq 100); do
        kill -0 "$1" 2>/dev/null || break
        sleep 0.1
    done
    if kill -0 "$1" 2>/dev/null; then
        kill -KILL "$1"
        echo "FAILED: panel_host still ran 10 s after SIGINT"
        cat "$work/out"
        exit 1
    fi
    wait "$1"
    status=$?
    elapsed=$(($(date +%s) - started))
    # A Windows program's lines end CR LF.
    tr -d '\r' <"$work/out" >"$work/lines"
    cat "$work/lines"
}

start_peer --no-route-reports
printf 'message instance=studioA\nmessage sourceID=3\nmessage destID=8\ndoublepress Take\n' \
    >"$work/take.scn"
"$@" --router "12=videohub://127.0.0.1:$port" --router-deadline 30000 "$work/take.scn" \
    >"$work/out" 2>&1 &
host=$!
for _ in $(seq 300); do
    grep -q "the component reads them" "$work/out" && break
    sleep 0.1
done
# The Take is asked as soon as the component is made; by now it waits.
sleep 1
interrupt "$host"
check "the Take was asked" 'grep -q "RC 12 3 8" "$work/lines"'
check "a step's wait ended within 5 s of SIGINT (took ${elapsed} s)" '[ "$elapsed" -le 5 ]'
check "the stop is traced and the component destroyed" \
    'tail -n 5 "$work/lines" | tr "\n" "|" | grep -q "^$stop: the run stops here|\[[0-9:.]*\] destroy the component|"'
kill "$running" 2>/dev/null
wait "$running" 2>/dev/null

start_peer --silent
"$@" --router "12=videohub://127.0.0.1:$port" --router-deadline 30000 "$work/take.scn" \
    >"$work/out" 2>&1 &
host=$!
sleep 1
interrupt "$host"
check "the start's wait ended within 5 s of SIGINT (took ${elapsed} s)" '[ "$elapsed" -le 5 ]'
check "the start says it was stopped, exit 1 (exit $status)" \
    '[ "$status" -eq 1 ] && grep -q "^panel_host: router 12 (videohub://127.0.0.1:$port): stopped while waiting for the router.s status dump$" "$work/lines"'
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
