#!/usr/bin/env bash
# Set-up, build, and the main job: storycrc over the bundled sample stories.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh release
build/release/tools/storycrc/storycrc -r samples/
