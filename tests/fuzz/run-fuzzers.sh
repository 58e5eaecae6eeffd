#!/usr/bin/env bash
# Usage: tests/fuzz/run-fuzzers.sh [name...]   (names as in tests/fuzz/corpus/; default all)
# Builds the fuzz preset and fuzzes each target from its seeds for FUZZ_SECONDS (default 20) or
# FUZZ_RUNS executions. New inputs go to build/fuzz/work/<name>/, never into the corpus; a crash,
# leak, timeout or broken property, to build/fuzz/findings/<name>/, and fails the run.
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$PWD budget=(-max_total_time="${FUZZ_SECONDS:-20}") names=("$@") failed=()
[[ -n ${FUZZ_RUNS:-} ]] && budget=(-runs="$FUZZ_RUNS")
((${#names[@]})) || names=($(ls tests/fuzz/corpus))
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$(nproc)"
# The targets' current folders, removed here: libFuzzer may exit without its clean-up.
scratch=$(mktemp -d "$([[ -w /dev/shm ]] && echo /dev/shm || echo /tmp)/quelt-fuzzers-XXXXXX")
trap 'rm -rf "$scratch"' EXIT
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
for name in "${names[@]}"; do
    seeds=$root/tests/fuzz/corpus/$name findings=$root/build/fuzz/findings/$name
    work=$root/build/fuzz/work/$name start=$SECONDS size=()
    mkdir -p "$work" "$findings" "$scratch/$name"
    # The XML readers' inputs reach far past their limits (libFuzzer's default cap is 4 KB).
    [[ $name == catalogue || $name == settings ]] && size=(-max_len=131072)
    if (cd "$scratch/$name" && "$root/build/fuzz/tests/fuzz/fuzz_$name" "${budget[@]}" \
        "${size[@]}" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix="$findings/" "$work" "$seeds") >"$work.log" 2>&1; then
        runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work.log" | tail -1)
        printf '%-12s %4d seeds, %10s executions in %4d s, no finding\n' "$name" \
            "$(ls "$seeds" | wc -l)" "${runs:-?}" $((SECONDS - start))
    else
        failed+=("$name")
        echo "$name: FINDING, see $work.log and $findings"
        grep -E 'ERROR|property broken|SUMMARY|Test unit written' "$work.log" | head -20 || true
    fi
done
((${#failed[@]} == 0)) || { echo "fuzzing found faults in: ${failed[*]}" >&2; exit 1; }
