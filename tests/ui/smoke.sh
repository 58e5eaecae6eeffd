#!/usr/bin/env bash
# The real QueltImport in a virtual X server, driven by real keys: what only a real display
# shows (focus, keys, the default button, tooltips, the clipboard).
# Usage: smoke.sh <path of QueltImport> | smoke.sh --installed /usr/bin/QueltImport
set -euo pipefail

if [[ "${1:-}" == "--inside" ]]; then
    program=$2 settings=$3 folders=$4
    picker='^Browse for a Directory to scan$'
    fail() { echo "smoke: $*" >&2; kill "$pid" 2>/dev/null || true; exit 1; }
    # Waits up to $1 tenths of a second for the shell condition $2.
    within() { for _ in $(seq "$1"); do eval "$2" && return 0; sleep 0.1; done; return 1; }
    # Runs the command $1, then waits up to $2 tenths of a second for $3, or fails saying $4.
    step() { eval "$1"; within "$2" "$3" || fail "$4"; }
    visible() { xdotool search --onlyvisible --name "$1" >/dev/null 2>&1; }
    shown() { visible '^QueltIm'; } # the main window, titled QueltImport or by a status
    running() { kill -0 "$pid" 2>/dev/null; }
    key() { xdotool windowfocus --sync "$window" key "$1"; }
    titled() { [[ "$(xdotool getwindowname "$window")" == "QueltImprort - $1" ]]; }
    tooltip() {
        for id in $(xdotool search --onlyvisible --pid "$pid"); do
            xprop -id "$id" _NET_WM_WINDOW_TYPE | grep -q _NET_WM_WINDOW_TYPE_TOOLTIP && return 0
        done
        return 1
    }
    # Types the path $2 into the dialog titled $1 once it has the focus: keys before are lost.
    answer() {
        local named=$1 dialog
        within 100 'visible "$named"' || fail "no dialog titled $named opened"
        dialog=$(xdotool search --onlyvisible --name "$named" | head -n 1)
        xdotool windowfocus --sync "$dialog"
        sleep 0.5
        xdotool type --window "$dialog" --delay 20 "$2"
        # On a slow machine the first Return may only close the path completer's popup.
        for _ in 1 2 3; do
            xdotool key Return
            within 50 '! visible "$named"' && return 0
        done
        fail "the dialog titled $named did not close"
    }

    cd "$folders" # where Save writes gamelist.txt
    "$program" & pid=$!
    within 200 'visible "^QueltImport$"' || fail "no window titled QueltImport appeared"
    window=$(xdotool search --onlyvisible --name '^QueltImport$' | head -n 1)

    # Enter is Scan, the default command; after a scan the focus is back on Scan, for Space.
    step 'key Return; answer "$picker" "$folders/games"' 100 'titled "1: games found."' \
        "Enter did not scan the folder"
    for again in space Return; do
        step "key $again" 50 'visible "$picker"' "$again after a scan did not scan"
        step 'xdotool key Escape' 50 '! visible "$picker"' "Escape left the picker open"
    done

    # The first row's Check cell, the only one with a tooltip, is the last column, 3 of the
    # list's 33 parts: its middle lies at 84.5% of the window's width; rows vary with the font.
    width=$(xdotool getwindowgeometry --shell "$window" | sed -n 's/^WIDTH=//p')
    xdotool windowfocus --sync "$window" # the toolkit shows tooltips in the active window
    for y in 24 32 40 48 56 64 72 none; do
        [[ $y != none ]] || fail "no tooltip over the Check cell"
        xdotool mousemove --window "$window" $((width * 845 / 1000)) "$y"
        within 20 tooltip && break
    done
    step 'xdotool click 1' 20 '! tooltip' "the tooltip stayed after the click selecting the row"
    # The popup menu is a window besides the main one; Copy, its first item, gives five fields.
    step 'xdotool click 3' 50 'xdotool search --onlyvisible --pid "$pid" | grep -qvx "$window"' \
        "a right click showed no popup menu"
    line="[0-9A-F]{8},880429,$folders/games/zork1\.z3,,unknown"
    step 'xdotool key Down Return' 50 '[[ "$(xclip -o -selection clipboard)" =~ ^$line$ ]]' \
        "Copy did not put the row's five fields on the clipboard"
    # Tab goes from the list to Save.
    step 'key Tab; key space; answer "^Save As$" "$folders/saved.xml"' 50 \
        '[[ -f saved.xml && -f gamelist.txt ]]' "Save wrote nothing"
    entry="<supported_game fingerprint=\"[0-9A-F]{8}\" FullName=\"unknown\" sn=\"880429\""
    grep -Eq "^ *$entry fn=\"$folders/games/zork1\.z3\" warn=\"\" />\$" saved.xml ||
        fail "Save did not write five fields: $(cat saved.xml)"
    [[ "$(cat gamelist.txt)" == "$folders/games/zork1.z3 880429" ]] ||
        fail "gamelist.txt holds '$(cat gamelist.txt)'"

    # During a scan the focus rests on the list, which takes every key: none reaches a button.
    key Return
    answer "$picker" "$folders/long"
    for stray in Return space Escape; do key "$stray"; done
    sleep 1
    running && shown || fail "a stray key during a scan closed the window"
    visible "$picker" && fail "Enter during a scan opened the picker"
    # Tab leaves the list for Quit, the next button enabled, where Escape quits: the window goes
    # at once, the program within the 10 s bound (and room for a busy machine).
    step 'key Tab; key Escape' 20 '! shown' "the window stayed after Escape"
    within 150 '! running' || fail "the program did not end within the bound after Escape"
    wait "$pid" || fail "exit status $?, expected 0"
    grep -q Placement "$settings" && grep -Eq '(^|[^A-Z])MCAAAAAA[A-P]{80}([^A-Z]|$)' "$settings" ||
        fail "no Placement of 88 letters A to P beginning MCAAAAAA in $settings"
    echo "smoke: keys, focus, tooltip, clipboard, Save, quit and placement as expected"
    exit 0
fi

for tool in xvfb-run xdotool xprop xclip; do
    command -v "$tool" >/dev/null ||
        { echo "smoke: $tool is not installed (scripts/setup.sh --tests)" >&2; exit 77; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# One story file, and a folder whose scan outlasts the test: a sparse terabyte to fingerprint.
mkdir -p "$work/games" "$work/long"
{ printf '\003%.0s' {1..18}; echo 880429zork; } >"$work/games/zork1.z3"
truncate -s 1T "$work/long/huge.z5"
# The toolkit's file dialogs remember folders in its settings: kept here, not in the user's.
export XDG_CONFIG_HOME="$work/config"
if [[ "$1" == "--installed" ]]; then
    export XDG_DATA_HOME="$work/data" # where an installed program keeps its settings
    program=$2 settings="$XDG_DATA_HOME/QueltImport/QueltImport_settings.xml"
else
    cp "$1" "$work/QueltImport" # a copy in a fresh folder, where its settings file lands
    program="$work/QueltImport" settings="$work/QueltImport_settings.xml"
fi
xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" --inside "$program" "$settings" "$work"
