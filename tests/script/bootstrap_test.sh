#!/usr/bin/env bash
# script/bootstrap against stubs of apt-get, dpkg, dpkg-query, sudo and npm
# on the PATH: a failing "apt-get update" (a mirror mid-sync) is tried three
# times, then a warning, and the install goes on; a failing install fails, naming the packages.
#   bootstrap_test.sh SCRIPT/BOOTSTRAP
set -uo pipefail
bootstrap=$1
stubs=$(mktemp -d)
trap 'rm -rf "$stubs"' EXIT
failures=0

stub() {
    printf '#!/usr/bin/env bash\n%s\n' "$2" >"$stubs/$1"
    chmod +x "$stubs/$1"
}
# Nothing is installed; sudo runs what it is given.
stub dpkg-query 'exit 1'
stub dpkg 'exit 0'
stub sudo '[[ $1 == -n ]] && shift; exec "$@"'
stub npm 'exit 0'

# check NAME UPDATE_STATUS INSTALL_STATUS EXPECTED_STATUS REGEX
check() {
    stub apt-get "echo \"apt-get \$*\" >>'$stubs/log'
case \$1 in update) exit $2;; install) exit $3;; esac"
    rm -f "$stubs/log"
    local out status
    out=$(PATH="$stubs:$PATH" ZANT_BOOTSTRAP_RETRY_PAUSE=0 bash "$bootstrap" demo 2>&1)
    status=$?
    if [[ $status != "$4" ]] || ! grep -Eq "$5" <<<"$out"; then
        echo "FAIL $1: exit $status (expected $4), output:"
        echo "$out"
        failures=$((failures + 1))
    elif [[ $2 != 0 ]] && { ! grep -q "apt-get install" "$stubs/log" ||
        [[ $(grep -c "apt-get update" "$stubs/log") != 3 ]]; }; then
        echo "FAIL $1: not three updates, then the install"
        failures=$((failures + 1))
    else
        echo "ok $1"
    fi
}

check update_fails 100 0 0 "warning: apt-get update failed"
check install_fails 0 100 1 "apt-get install failed; the packages wanted: .*cmake"
check both_fail 100 100 1 "apt-get install failed"
echo "$((3 - failures)) passed, $failures failed"
((failures == 0))
