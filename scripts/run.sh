#!/usr/bin/env bash
# Set-up, build, and the main job: QueltImport, with the bundled sample stories to scan.
# Without a display it runs the same scan without a window, against the sample catalogue.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh release
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
    echo "No display (\$DISPLAY and \$WAYLAND_DISPLAY are empty): scanning samples/ without a window."
    exec build/release/ui/QueltImport --scan samples/ --catalogue samples/catalogue.xml
fi
echo "Starting QueltImport: press Scan and choose $PWD/samples"
exec build/release/ui/QueltImport
