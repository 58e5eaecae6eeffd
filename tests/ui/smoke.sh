#!/usr/bin/env bash
# Starts the real QueltImport in a virtual X server and drives it with real key events: Enter
# scans a folder picked by typing its path; after a scan the focus is back on Scan, where
# Space scans and Enter still does; during a scan the focus rests on the list, so that no key
# reaches Quit by chance; Tab then Escape during a long scan quits at once and within the
# disposal bound. Then checks that the program ended with status 0 and wrote its settings file.
# Usage: smoke.sh <path of QueltImport>      (a copy runs in a fresh folder)
#        smoke.sh --installed /usr/bin/QueltImport  (settings go to $XDG_DATA_HOME)
set -euo pipefail

if [[ "${1:-}" == "--inside" ]]; then
    program=$2
    settings=$3
    folders=$4
    fail() { echo "smoke: $*" >&2; kill "$pid" 2>/dev/null || true; exit 1; }
    # Waits up to $1 tenths of a second for the command after it to succeed.
    within() {
        local tenths=$1
        shift
        for _ in $(seq "$tenths"); do
            "$@" && return 0
            sleep 0.1
        done
        return 1
    }
    visible() { xdotool search --onlyvisible --name "$1" >/dev/null 2>&1; }
    shown() { visible '^QueltIm'; } # the main window, titled QueltImport or by a status
    running() { kill -0 "$pid" 2>/dev/null; }
    ended() { ! running; }
    title() { xdotool getwindowname "$window"; }
    key() { xdotool windowfocus --sync "$window" key "$1"; }
    # Enter on the main window scans: the folder picker opens and takes a typed path.
    scan() {
        key Return
        within 100 visible '^Browse for a Directory to scan$' || fail "Enter did not open the folder picker"
        # Typed into the picker once it has the focus: keys sent before then are lost.
        local picker
        picker=$(xdotool search --onlyvisible --name '^Browse for a Directory to scan$' | head -n 1)
        xdotool windowfocus --sync "$picker"
        sleep 0.5
        xdotool type --window "$picker" --delay 20 "$1"
        # On a slow machine the first Return may only close the path completer's popup.
        for _ in 1 2 3; do
            xdotool key Return
            within 50 eval '! visible "^Browse for a Directory to scan$"' && return 0
        done
        fail "the folder picker did not close"
    }

    "$program" &
    pid=$!
    within 200 visible '^QueltImport$' || fail "no window titled QueltImport appeared"
    window=$(xdotool search --onlyvisible --name '^QueltImport$' | head -n 1)

    scan "$folders/games"
    within 100 eval '[[ "$(title)" == "QueltImprort - 1: games found." ]]' ||
        fail "the scan did not end: title '$(title)'"
    # The focus is back on Scan, which Space presses; and Scan stays the default command.
    for again in space Return; do
        key "$again"
        within 50 visible '^Browse for a Directory to scan$' || fail "$again after a scan did not scan"
        xdotool key Escape
        within 50 eval '! visible "^Browse for a Directory to scan$"' || fail "Escape left the picker open"
    done

    scan "$folders/long"
    # The focus rests on the list, which takes every key: none reaches a button.
    for stray in Return space Escape; do
        key "$stray"
    done
    sleep 1
    running && shown || fail "a stray key during a scan closed the window"
    visible '^Browse for a Directory to scan$' && fail "Enter during a scan opened the picker"
    # Tab leaves the list for Quit, the next button enabled, and Escape there is Quit: the
    # window goes at once, the program within the 10 s bound.
    key Tab
    key Escape
    within 20 eval '! shown' || fail "the window stayed after Escape"
    # 10 s of bound, and room for a machine busy with other tests.
    within 150 ended || fail "the program did not end within the bound after Escape"
    status=0
    wait "$pid" || status=$?
    [[ $status -eq 0 ]] || fail "exit status $status, expected 0"

    [[ -f "$settings" ]] || fail "no settings file at $settings"
    grep -q 'Placement' "$settings" || fail "no Placement setting in $settings"
    grep -Eq '(^|[^A-Z])MCAAAAAA[A-P]{80}([^A-Z]|$)' "$settings" ||
        fail "Placement is not 88 letters A to P beginning MCAAAAAA: $(cat "$settings")"
    echo "smoke: scans by Enter and Space, no stray key quits a scan, quit within the bound, placement saved"
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
# One story file, and a folder whose scan outlasts the test: a sparse terabyte to fingerprint.
mkdir -p "$work/games" "$work/long"
printf '\003%.0s' {1..18} >"$work/games/zork1.z3"
echo "880429zork" >>"$work/games/zork1.z3"
truncate -s 1T "$work/long/huge.z5"
# The toolkit's file dialogs remember folders in its settings: kept here, not in the user's.
export XDG_CONFIG_HOME="$work/config"
if [[ "$1" == "--installed" ]]; then
    # An installed program keeps its settings in the per-user folder.
    export XDG_DATA_HOME="$work/data"
    xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" --inside "$2" \
        "$XDG_DATA_HOME/QueltImport/QueltImport_settings.xml" "$work"
else
    # A copy in a fresh folder, so that the settings file beside it lands there.
    cp "$1" "$work/QueltImport"
    xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" --inside "$work/QueltImport" \
        "$work/QueltImport_settings.xml" "$work"
fi
