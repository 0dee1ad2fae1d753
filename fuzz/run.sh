#!/usr/bin/env bash
# Runs every fuzz target for SECONDS (default 30) from its seed corpus in
# fuzz/corpus/<target>/, and fails on the first crash, leak or broken
# invariant. New inputs go to a scratch folder, never into the repository.
# usage: fuzz/run.sh [SECONDS] [BUILD_DIR]   (build first: cmake --workflow --preset fuzz)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}
build=${2:-build/fuzz}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

status=0
for target in parent_message decode_zant_string zant_string profile component videohub_reader \
    s101_frame glow_reader; do
    binary="$build/fuzz/${target}_fuzzer"
    mkdir -p "$scratch/$target"
    echo "-- $target: ${seconds}s"
    # Crash inputs land in the scratch folder too; the log names the file.
    if ! TMPDIR="$scratch" "$binary" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="$scratch/$target-" \
        "$scratch/$target" "fuzz/corpus/$target" >"$scratch/$target.log" 2>&1; then
        tail -n 60 "$scratch/$target.log"
        for artifact in "$scratch/$target"-*; do
            [[ -e "$artifact" ]] && echo "input: $(base64 -w0 "$artifact")"
        done
        status=1
        continue
    fi
    grep -E '^stat::number_of_executed_runs|^#[0-9]+.*DONE' "$scratch/$target.log" | tail -n 2
done
exit $status
