# Sourced by the shell tests that start a router program (sh or bash).
#
# check WHAT CONDITION: evaluates CONDITION, counts it in $passed or $failed,
# and names WHAT when it fails.
passed=0 failed=0
check() {
    if eval "$2"; then
        passed=$((passed + 1))
    else
        echo "FAILED: $1"
        failed=$((failed + 1))
    fi
}

# wait_for_port FILE: the port a program wrote to FILE, waiting up to 30 s
# for it; empty when none came. A Windows program (under Wine) ends the line
# with CR LF.
wait_for_port() {
    for _ in $(seq 300); do
        [ -s "$1" ] && break
        sleep 0.1
    done
    tr -d '\r' <"$1" 2>/dev/null
}

# read_dump PORT (bash): connects on descriptor 3 and sets $dump to the
# router's status dump up to END PRELUDE, its lines joined by '|'.
read_dump() {
    dump=""
    exec 3<>"/dev/tcp/127.0.0.1/$1" || return 1
    local line
    while IFS= read -r -t 10 line <&3; do
        dump="$dump$line|"
        [ "$line" = "END PRELUDE:" ] && break
    done
    IFS= read -r -t 10 _ <&3
}

# stop_and_report PID OUT: SIGTERM ends the program PID cleanly (its output
# in OUT says so), then the count of checks; the status fails on any.
stop_and_report() {
    stopped_output=$2
    kill -TERM "$1"
    wait "$1"
    status=$?
    check "SIGTERM ends it with status 0" \
        '[ "$status" -eq 0 ] && grep -q "stopped by SIGTERM" "$stopped_output"'
    echo "$passed passed, $failed failed"
    [ "$failed" -eq 0 ]
}
