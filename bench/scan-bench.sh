#!/usr/bin/env bash
# Scan benchmark: builds the corpus (the 10,000-file tree) and a release build, then times
# the scan, the cache and the catalogue file, compares with storycrc -r, and measures what the
# progress reports cost.
# Usage: bench/scan-bench.sh [corpus-folder] [scan_bench options, e.g. --runs 7, --progress-only]
set -euo pipefail
cd "$(dirname "$0")/.."
corpus=${1:-/tmp/quelt-bench-corpus}
shift || true
python3 bench/make-corpus.py "$corpus" --big-mib 1
sync # a corpus still being written back to disk would slow the first runs
cmake --preset release >/dev/null
cmake --build --preset release -j2 --target scan_bench storycrc >/dev/null
build/release/bench/scan_bench "$corpus/tree" \
    --storycrc build/release/tools/storycrc/storycrc "$@"
