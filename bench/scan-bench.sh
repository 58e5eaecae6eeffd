#!/usr/bin/env bash
# Scan benchmark: builds the corpora (a tree of 10,000 files of 1-256 KiB, and one of 100,000
# files of 1-4 KiB) and a release build, then times the scan, its cache writes and the
# catalogue file, compares the first scan with storycrc -r over the same tree, and measures
# what the progress reports cost.
# Usage: bench/scan-bench.sh [corpus-folder] [scan_bench options, e.g. --runs 7, --progress-only]
set -euo pipefail
cd "$(dirname "$0")/.."
corpus=${1:-/tmp/quelt-bench-corpus}
shift || true
python3 bench/make-corpus.py "$corpus" --big-mib 1
python3 bench/make-corpus.py "$corpus-100k" --big-mib 1 --files 100000 --folders 1000 --max-kib 4
sync # a corpus still being written back to disk would slow the first runs
cmake --preset release >/dev/null
cmake --build --preset release -j2 --target scan_bench storycrc >/dev/null
echo "== tree of 10,000 files, load: $(cut -d' ' -f1-3 /proc/loadavg)"
build/release/bench/scan_bench "$corpus/tree" \
    --storycrc build/release/tools/storycrc/storycrc "$@"
echo "== tree of 100,000 files, load: $(cut -d' ' -f1-3 /proc/loadavg)"
build/release/bench/scan_bench "$corpus-100k/tree" --entries 0 \
    --storycrc build/release/tools/storycrc/storycrc "$@"
