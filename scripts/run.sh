#!/usr/bin/env bash
# Set-up, build, and the main job: QueltImport, with the bundled sample stories to scan.
# Without a display it runs the console demo instead (storycrc over the samples).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh release
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
    echo "No display (\$DISPLAY and \$WAYLAND_DISPLAY are empty): running storycrc -r samples/ instead of QueltImport."
    exec build/release/tools/storycrc/storycrc -r samples/
fi
echo "Starting QueltImport: press Scan and choose $PWD/samples"
exec build/release/ui/QueltImport
