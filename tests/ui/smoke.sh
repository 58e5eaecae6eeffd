#!/usr/bin/env bash
# Starts the real QueltImport in a virtual X server, waits for its window, closes it with
# Escape and checks that the program ended with status 0 and wrote its settings file.
# Usage: smoke.sh <path of QueltImport>      (a copy runs in a fresh folder)
#        smoke.sh --installed /usr/bin/QueltImport  (settings go to $XDG_DATA_HOME)
set -euo pipefail

if [[ "${1:-}" == "--inside" ]]; then
    program=$2
    settings=$3
    fail() { echo "smoke: $*" >&2; kill "$pid" 2>/dev/null || true; exit 1; }

    "$program" &
    pid=$!
    window=""
    for _ in $(seq 200); do
        window=$(xdotool search --onlyvisible --name '^QueltImport$' 2>/dev/null | head -n 1 || true)
        [[ -n "$window" ]] && break
        kill -0 "$pid" 2>/dev/null || fail "the program ended before its window appeared"
        sleep 0.1
    done
    [[ -n "$window" ]] || fail "no window titled QueltImport appeared"

    # Escape on the focused Scan button is Quit.
    xdotool windowfocus --sync "$window" key Escape
    for _ in $(seq 200); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$pid" 2>/dev/null && fail "the program did not end after Escape"
    status=0
    wait "$pid" || status=$?
    [[ $status -eq 0 ]] || fail "exit status $status, expected 0"

    [[ -f "$settings" ]] || fail "no settings file at $settings"
    grep -q 'Placement' "$settings" || fail "no Placement setting in $settings"
    grep -Eq '(^|[^A-Z])MCAAAAAA[A-P]{80}([^A-Z]|$)' "$settings" ||
        fail "Placement is not 88 letters A to P beginning MCAAAAAA: $(cat "$settings")"
    echo "smoke: window shown, quit with status 0, placement saved"
    exit 0
fi

for tool in xvfb-run xdotool; do
    if ! command -v "$tool" >/dev/null; then
        echo "smoke: $tool is not installed (scripts/setup.sh --tests installs it)" >&2
        exit 77
    fi
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
if [[ "$1" == "--installed" ]]; then
    # An installed program keeps its settings in the per-user folder.
    export XDG_DATA_HOME="$work/data"
    xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" --inside "$2" \
        "$XDG_DATA_HOME/QueltImport/QueltImport_settings.xml"
else
    # A copy in a fresh folder, so that the settings file beside it lands there.
    cp "$1" "$work/QueltImport"
    xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" --inside "$work/QueltImport" \
        "$work/QueltImport_settings.xml"
fi
