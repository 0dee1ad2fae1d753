#!/usr/bin/env bash
# videohub_server_test.sh NODE MODULE: videohub_server.js runs the package
# and it behaves as that script's notes say: its dump's missing line feeds,
# an ACK for anything, a route request seen but not reported, one block
# answered of a burst; SIGTERM ends it.
set -u
node=$1 module=$2
script=$(dirname "$0")/videohub_server.js
work=$(mktemp -d)
trap 'exec 3>&- 2>/dev/null; kill "$running" 2>/dev/null; rm -rf "$work"' EXIT
# shellcheck source=script_support.sh
. "$(dirname "$0")/script_support.sh"

"$node" "$script" --module "$module" --port-file "$work/port" >"$work/out" 2>&1 &
running=$!
port=$(wait_for_port "$work/port")
check "the port in the file and on standard output" \
    '[ -n "$port" ] && grep -qx "listening on 127.0.0.1:$port" "$work/out"'

# answers TEXT: the lines that come back within a second of TEXT, sent in
# one write (cat), joined by '|'.
answers() {
    printf "$1" >"$work/request"
    cat "$work/request" >&3
    local line text=""
    while IFS= read -r -t 1 line <&3; do text+="$line|"; done
    echo "$text"
}

read_dump "$port"
check "the device block's missing line feeds" \
    '[[ "$dump" == *"|Video inputs: 41Video processing units: 0|Video outputs: 10Video monitoring outputs: 0|"* ]]'
check "every output on input 40" '[[ "$dump" == *"|VIDEO OUTPUT ROUTING:|0 40|"*"|9 40||"* ]]'
check "a route ACKed, not reported" '[ "$(answers "VIDEO OUTPUT ROUTING:\n0 3\n\n")" = "ACK||" ]'
check "the route request seen" 'grep -qx "route 0 3" "$work/out"'
check "an unknown block ACKed" '[ "$(answers "NO SUCH BLOCK:\n1 2\n\n")" = "ACK||" ]'
check "three PINGs in one write, one ACK" '[ "$(answers "PING:\n\nPING:\n\nPING:\n\n")" = "ACK||" ]'

stop_and_report "$running" "$work/out"
