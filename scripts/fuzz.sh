#!/usr/bin/env bash
# Runs every fuzz target of a fuzz build (fuzz/*_fuzzer.cpp) for a while on a copy of its seed
# corpus, as many at a time as there are cores, and fails when one of them finds a crash, a leak
# or an input that hangs. The input that did it is kept in BUILD_DIR/fuzz-findings/.
#   scripts/fuzz.sh [BUILD_DIR] [SECONDS_EACH]
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${1:-build-fuzz}
seconds=${2:-20}
jobs=$(nproc)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
findings=$build_dir/fuzz-findings
mkdir -p "$findings"

run_target() {
    local name=$1 program=$build_dir/fuzz/$1
    if [[ ! -x $program ]]; then
        echo "$program is missing: configure with -DKIVOLY_FUZZ=ON and build it"
        return 1
    fi
    # The fuzzer adds what it finds to its first corpus folder: a copy keeps the seeds as they are.
    mkdir -p "$work/$name"
    if [[ -d fuzz/corpus/$name ]]; then
        cp -r "fuzz/corpus/$name/." "$work/$name/"
    fi
    "$program" -max_total_time="$seconds" -timeout=30 -print_final_stats=1 \
        -artifact_prefix="$findings/$name-" "$work/$name"
}

names=()
for source in fuzz/*_fuzzer.cpp; do
    name=$(basename "$source" .cpp)
    names+=("$name")
    (
        status=0
        run_target "$name" >"$work/$name.log" 2>&1 || status=$?
        echo "$status" >"$work/$name.status"
    ) &
    while (($(jobs -rp | wc -l) >= jobs)); do wait -n || true; done
done
wait

failed=0
for name in "${names[@]}"; do
    status=$(cat "$work/$name.status")
    if [[ $status == 0 ]]; then
        runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$work/$name.log" | grep -o '[0-9]*$' || true)
        echo "fuzz: $name ran ${runs:-?} inputs in ${seconds} s without a fault"
    else
        failed=1
        echo "fuzz: $name FAILED (exit $status):"
        tail -n 60 "$work/$name.log"
    fi
done
exit "$failed"
