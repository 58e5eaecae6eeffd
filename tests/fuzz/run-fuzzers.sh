#!/usr/bin/env bash
# Builds the fuzz preset, then for every fuzz target replays its seed corpus and fuzzes it for
# FUZZ_SECONDS seconds (default 20), or for FUZZ_RUNS executions when that is set. New inputs
# go to build/fuzz/work/<name>/ (never into the committed corpus); a crash, leak, timeout or
# broken property is saved under build/fuzz/findings/<name>/ and fails the run. Prints the
# executions and the time of every target.
# Usage: tests/fuzz/run-fuzzers.sh [name...]   (names as in tests/fuzz/corpus/)
set -euo pipefail
cd "$(dirname "$0")/../.."

seconds=${FUZZ_SECONDS:-20}
if [[ -n ${FUZZ_RUNS:-} ]]; then
    budget=(-runs="$FUZZ_RUNS")
else
    budget=(-max_total_time="$seconds")
fi
jobs=$(nproc)
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$jobs"

built=$(ninja -C build/fuzz -t targets all | sed -n 's|^tests/fuzz/\(fuzz_[a-z]*\): .*|\1|p')

names=("$@")
if ((${#names[@]} == 0)); then
    for dir in tests/fuzz/corpus/*/; do
        names+=("$(basename "$dir")")
    done
fi

# The targets write their scratch files here; libFuzzer may exit without running their
# clean-up, so the whole folder goes at the end.
scratch_base=/tmp
[[ -d /dev/shm && -w /dev/shm ]] && scratch_base=/dev/shm
TMPDIR=$(mktemp -d "$scratch_base/quelt-fuzzers-XXXXXX")
export TMPDIR
trap 'rm -rf "$TMPDIR"' EXIT

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
failed=()
summary=()
for name in "${names[@]}"; do
    target=build/fuzz/tests/fuzz/fuzz_$name
    # A binary left over from a tree that had the target's code does not count.
    if ! grep -qx "fuzz_$name" <<<"$built"; then
        summary+=("$(printf '%-12s not built (its code is not in this tree)' "$name")")
        continue
    fi
    seeds=tests/fuzz/corpus/$name
    work=build/fuzz/work/$name
    findings=build/fuzz/findings/$name
    mkdir -p "$work" "$findings"
    log=build/fuzz/work/$name.log
    # The XML readers refuse documents nested deeper than 256 levels or with more than 256
    # attributes on one element: their inputs must reach well past that (libFuzzer's default
    # cap is 4 KB), far enough to overflow the parser's stack should the limits ever go.
    size=()
    case $name in catalogue | settings) size=(-max_len=131072) ;; esac
    echo "== $name: replaying $(ls "$seeds" | wc -l) seeds, then fuzzing (${budget[*]} ${size[*]})"
    start=$SECONDS
    if "$target" "${budget[@]}" "${size[@]}" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix="$findings/" "$work" "$seeds" >"$log" 2>&1; then
        runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
        summary+=("$(printf '%-12s %12s executions in %5d s, no finding' "$name" "${runs:-?}" \
            $((SECONDS - start)))")
    else
        failed+=("$name")
        summary+=("$(printf '%-12s FINDING, see %s and %s' "$name" "$log" "$findings")")
        grep -E 'ERROR|property broken|detail:|SUMMARY|Test unit written' "$log" | head -20 || true
    fi
done

printf '%s\n' "${summary[@]}"
if ((${#failed[@]})); then
    echo "fuzzing found faults in: ${failed[*]}" >&2
    exit 1
fi
