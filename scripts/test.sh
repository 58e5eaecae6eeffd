#!/usr/bin/env bash
# Set-up, then every test: a normal build, one with AddressSanitizer and
# UndefinedBehaviorSanitizer, the tests that run threads under ThreadSanitizer, storycrc for
# Windows with its tests and its zip under wine, and the fuzz targets (every seed corpus
# replayed, then FUZZ_SECONDS of fuzzing each, default 20), and the Debian package installed
# and tried.
# Any failure or sanitizer finding fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh --tests dev asan tsan mingw
jobs=$(nproc)
ctest --preset dev -j "$jobs"
ctest --preset asan -j "$jobs"
ctest --preset tsan -j "$jobs"
ctest --preset mingw -j "$jobs"
tests/fuzz/run-fuzzers.sh
# The Debian package: built, installed on this machine, and its programs run from /usr/bin.
packaging/check-deb.sh
