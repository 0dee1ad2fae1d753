#!/bin/sh
# instruction_gate.sh DRIVER LIBRARY BUDGETS
#
# Counts, with callgrind, the instructions each hot path of BUDGETS spends
# inside the component LIBRARY (zant_instruction_paths drives it), and checks
# them against their budgets. A path over its budget by more than the
# tolerance fails the gate, naming the path and both figures; one well under
# its budget is reported so that the budget can be lowered.
#
# BUDGETS: one path a line, "PATH BUDGET SET_FROM" (instructions per run of
# the path; SET_FROM is the count the budget was set from); '#' comments.
#
# Counts are exact and repeatable for a binary, its inputs and its
# environment: every run has an empty environment (env -i), so "instance"
# reads its device file from a folder of the same length everywhere.
set -u
driver=$1 library=$2 budgets=$3
runs=2000
# Over by more than 2 % fails; under by more than 20 % asks for a lower budget.
tolerance_percent=2
slack_percent=20

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The same library path length everywhere.
cp "$library" "$work/component.so"

# count PATH: instructions per run of PATH inside the component: the
# inclusive cost of every call made from the driver's counted* functions.
count() {
    env -i valgrind --tool=callgrind --callgrind-out-file="$work/out" \
        --compress-strings=no --compress-pos=no \
        "$driver" "$work/component.so" "$1" "$runs" >"$work/log" 2>&1 ||
        { cat "$work/log" >&2; return 1; }
    awk -v runs="$runs" '
        /^fn=/ { counted = ($0 ~ /::counted(Notify|Format)\(/); next }
        /^calls=/ { if (counted) { take = 1 } ; next }
        take { cost += $2; take = 0 }
        END { printf "%.1f", cost / runs }' "$work/out"
}

failed=0
printf '%-20s %10s %10s\n' path measured budget
while read -r path budget set_from; do
    case $path in '' | '#'*) continue ;; esac
    per_run=$(count "$path") || {
        echo "error: $path could not be counted"
        failed=1
        continue
    }
    printf '%-20s %10s %10s\n' "$path" "$per_run" "$budget"
    verdict=$(awk -v m="$per_run" -v b="$budget" -v t="$tolerance_percent" -v s="$slack_percent" \
        'BEGIN { if (m > b * (1 + t / 100)) print "over"; else if (m < b * (1 - s / 100)) print "under"; }')
    if [ "$verdict" = over ]; then
        echo "over budget: $path $per_run > $budget instructions (set from $set_from)"
        failed=1
    elif [ "$verdict" = under ]; then
        echo "well under budget: $path $per_run < $budget instructions: lower its budget"
    fi
done <"$budgets"
exit "$failed"
