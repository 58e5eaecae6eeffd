#!/usr/bin/env bash
# Set-up, then every test: a normal build, and one with AddressSanitizer and
# UndefinedBehaviorSanitizer. Any failure fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh --tests dev asan
jobs=$(nproc)
ctest --preset dev -j "$jobs"
ctest --preset asan -j "$jobs"
