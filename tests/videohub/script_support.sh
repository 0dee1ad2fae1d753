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
# for it; empty when none came.
wait_for_port() {
    for _ in $(seq 300); do
        [ -s "$1" ] && break
        sleep 0.1
    done
    cat "$1" 2>/dev/null
}
