#!/bin/sh
# stop_signal_test.sh PANEL_HOST ARGS...: Ctrl-C during a run in real time,
# and SIGTERM at the prompt, end panel_host as a host ends: the stop traced,
# the component destroyed ("RU" for its device, "AS"), and the run's closing
# line and exit status (0: it went well).
set -u
work=$(mktemp -d)
trap 'exec 3>&-; rm -rf "$work"' EXIT
failed=0

# stop SIGNAL WHEN_TRACED PANEL_HOST ARGS...: panel_host reads the FIFO
# $work/input; SIGNAL goes once WHEN_TRACED is in the trace.
stop() {
    signal=$1 traced=$2
    shift 2
    "$@" <"$work/input" >"$work/out" 2>&1 &
    host=$!
    for _ in $(seq 300); do
        grep -q "$traced" "$work/out" && break
        sleep 0.1
    done
    kill "-$signal" "$host"
    wait "$host"
    status=$?
    if [ "$status" -ne 0 ] ||
        ! tail -n 5 "$work/out" | tr '\n' '|' |
        grep -q "^SIG$signal: the run stops here|\[[0-9:.]*\] destroy the component|    RU 12|    AS .*|all well: 0 expectations held, no error|\$"; then
        echo "FAILED: SIG$signal after \"$traced\": exit $status"
        cat "$work/out"
        failed=1
    fi
}

printf 'message instance=studioA\nrun 60s\n' >"$work/run.scn"
mkfifo "$work/input"
exec 3<>"$work/input"
stop INT "run 60000 ms in real time" "$@" "$work/run.scn"
echo "message instance=studioA" >&3
stop TERM "RP 12 1 16" "$@" -i
[ "$failed" -eq 0 ] && echo "2 passed, 0 failed"
exit "$failed"
