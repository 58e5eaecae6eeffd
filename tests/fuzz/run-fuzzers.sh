#!/usr/bin/env bash
# Builds the fuzz preset, then for every fuzz target replays its seed corpus and fuzzes it for
# FUZZ_SECONDS seconds (default 20), or FUZZ_RUNS executions when that is set. New inputs go to
# build/fuzz/work/<name>/, never into the committed corpus; a crash, leak, timeout or broken
# property is saved under build/fuzz/findings/<name>/ and fails the run.
# Usage: tests/fuzz/run-fuzzers.sh [name...]   (names as in tests/fuzz/corpus/)
set -euo pipefail
cd "$(dirname "$0")/../.."

budget=(-max_total_time="${FUZZ_SECONDS:-20}")
[[ -n ${FUZZ_RUNS:-} ]] && budget=(-runs="$FUZZ_RUNS")
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$(nproc)"

names=("$@")
if ((${#names[@]} == 0)); then
    for dir in tests/fuzz/corpus/*/; do
        names+=("$(basename "$dir")")
    done
fi

# The targets' scratch files: libFuzzer may exit without their clean-up.
scratch_base=/tmp
[[ -d /dev/shm && -w /dev/shm ]] && scratch_base=/dev/shm
TMPDIR=$(mktemp -d "$scratch_base/quelt-fuzzers-XXXXXX")
export TMPDIR
trap 'rm -rf "$TMPDIR"' EXIT

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
failed=()
for name in "${names[@]}"; do
    seeds=tests/fuzz/corpus/$name
    findings=build/fuzz/findings/$name
    log=build/fuzz/work/$name.log
    mkdir -p "build/fuzz/work/$name" "$findings"
    # The XML readers refuse documents nested deeper than 256 levels or with more than 256
    # attributes on one element: their inputs must reach well past that (libFuzzer's default
    # cap is 4 KB), far enough to overflow the parser's stack should the limits ever go.
    size=()
    case $name in catalogue | settings) size=(-max_len=131072) ;; esac
    start=$SECONDS
    if "build/fuzz/tests/fuzz/fuzz_$name" "${budget[@]}" "${size[@]}" -timeout=10 \
        -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$findings/" \
        "build/fuzz/work/$name" "$seeds" >"$log" 2>&1; then
        runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
        printf '%-12s %4d seeds, %10s executions in %4d s, no finding\n' "$name" \
            "$(ls "$seeds" | wc -l)" "${runs:-?}" $((SECONDS - start))
    else
        failed+=("$name")
        echo "$name: FINDING, see $log and $findings"
        grep -E 'ERROR|property broken|detail:|SUMMARY|Test unit written' "$log" | head -20 || true
    fi
done
if ((${#failed[@]})); then
    echo "fuzzing found faults in: ${failed[*]}" >&2
    exit 1
fi
