#!/bin/sh
# real_router_test.sh SCENARIO EXIT DEADLINE SCHEME ROUTER... -- PANEL_HOST ARGS...
# Starts the router program ROUTER... with --port-file, runs PANEL_HOST ARGS
# with --router 12=SCHEME://127.0.0.1:PORT --router-deadline DEADLINE and
# SCENARIO, and checks the exit status and that each "#> LINE" of SCENARIO
# is a line of the output (indent aside; PORT and DEADLINE filled in), and
# each "#router> LINE" one of the router's. ROUTER_ADDRESS in the
# environment is another address for the router, PORT filled in.
set -u
. "$(dirname "$0")/../videohub/script_support.sh"
scenario=$1 exit=$2 deadline=$3 scheme=$4
shift 4
router=""
while [ "$1" != "--" ]; do
    router="$router $1"
    shift
done
shift
work=$(mktemp -d)
running=""
trap '[ -n "$running" ] && kill "$running" 2>/dev/null; rm -rf "$work"' EXIT
trap 'exit 1' INT TERM

# shellcheck disable=SC2086 # the router's command line, split as given
$router --port-file "$work/port" >"$work/router" 2>&1 &
running=$!
port=$(wait_for_port "$work/port")
if [ -z "$port" ]; then
    echo "FAILED: the router did not start:"
    cat "$work/router"
    exit 1
fi

address=$(printf '%s' "${ROUTER_ADDRESS:-$scheme://127.0.0.1:PORT}" | sed "s/PORT/$port/")
"$@" --router "12=$address" --router-deadline "$deadline" "$scenario" \
    >"$work/out" 2>&1
status=$?
cat "$work/out"
failed=0
if [ "$status" -ne "$exit" ]; then
    echo "FAILED: exit status $status, expected $exit"
    failed=1
fi
# A Windows program's lines end CR LF.
sed 's/^ *//; s/\r$//' "$work/out" >"$work/lines"
sed -n "/^#> /{s///; s/PORT/$port/g; s/DEADLINE/$deadline/g; p; }" "$scenario" >"$work/wanted"
while IFS= read -r line; do
    if ! grep -qxF -- "$line" "$work/lines"; then
        echo "FAILED: no output line: $line"
        failed=1
    fi
done <"$work/wanted"
sed -n "/^#router> /{s///; p; }" "$scenario" >"$work/wanted"
sed 's/\r$//' "$work/router" >"$work/router_lines"
while IFS= read -r line; do
    if ! grep -qxF -- "$line" "$work/router_lines"; then
        echo "FAILED: no line of the router: $line"
        failed=1
    fi
done <"$work/wanted"
if ! kill -0 "$running" 2>/dev/null; then
    echo "FAILED: the router ended during the run:"
    cat "$work/router"
    failed=1
fi
exit "$failed"
