#!/usr/bin/env bash
# videohub_peer_test.sh VIDEOHUB_PEER: the program as end-to-end tests run
# it: the port in the file and on standard output, the dump with the locks
# asked for, a busy port refused, bad usage, and SIGTERM ending it cleanly.
set -u
peer=$1
work=$(mktemp -d)
trap 'exec 3>&- 2>/dev/null; kill "$running" 2>/dev/null; rm -rf "$work"' EXIT
# shellcheck source=script_support.sh
. "$(dirname "$0")/script_support.sh"

"$peer" --outputs 4 --lock 2 --no-route-reports --port-file "$work/port" >"$work/out" 2>&1 &
running=$!
port=$(wait_for_port "$work/port")
check "the port in the file and on standard output" \
    '[ -n "$port" ] && grep -qx "listening on 127.0.0.1:$port" "$work/out"'

if read_dump "$port"; then
    printf 'VIDEO OUTPUT ROUTING:\n0 3\n\n' >&3
    IFS= read -r -t 10 answer <&3
fi
check "the dump with output 2 locked by another" \
    '[[ "$dump" == *"|Video outputs: 4|"*"|VIDEO OUTPUT LOCKS:|0 U|1 U|2 L|3 U||"* ]]'
check "a route ACKed, never reported" \
    '[ "${answer:-}" = ACK ] && read -r -t 1 empty <&3 && ! read -r -t 1 more <&3'

"$peer" --port "$port" >"$work/busy" 2>&1
check "a busy port refused" \
    '[ $? -eq 1 ] && grep -q "cannot listen on 127.0.0.1:$port: address already in use" "$work/busy"'
"$peer" --outputs 2 --lock 2 >"$work/usage" 2>&1
check "a lock beyond the outputs is bad usage" \
    '[ $? -eq 2 ] && grep -q "^videohub_peer: --lock 2: outputs are 0 to 1" "$work/usage"'

stop_and_report "$running" "$work/out"
