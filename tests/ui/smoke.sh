#!/usr/bin/env bash
# Starts the real QueltImport in a virtual X server and drives it with real key events: Enter
# scans a folder picked by typing its path; after a scan the focus is back on Scan, where
# Space scans and Enter still does; the found file's Check cell shows a tooltip, and Copy and
# Save still write five fields; during a scan the focus rests on the list, so that no key
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
    # Types the path $2 into the file or folder dialog titled $1 that has just been opened.
    answer() {
        local named=$1 dialog
        within 100 visible "$named" || fail "no dialog titled $named opened"
        # Typed into the dialog once it has the focus: keys sent before then are lost.
        dialog=$(xdotool search --onlyvisible --name "$named" | head -n 1)
        xdotool windowfocus --sync "$dialog"
        sleep 0.5
        xdotool type --window "$dialog" --delay 20 "$2"
        # On a slow machine the first Return may only close the path completer's popup.
        for _ in 1 2 3; do
            xdotool key Return
            within 50 eval '! visible "$named"' && return 0
        done
        fail "the dialog titled $named did not close"
    }
    # Enter on the main window scans: the folder picker opens and takes a typed path.
    scan() {
        key Return
        answer '^Browse for a Directory to scan$' "$1"
    }
    # The program shows a tooltip window.
    tooltip() {
        local id
        for id in $(xdotool search --onlyvisible --pid "$pid"); do
            xprop -id "$id" _NET_WM_WINDOW_TYPE | grep -Eq "_NET_WM_WINDOW_TYPE_TOOLTIP(,|\$)" &&
                return 0
        done
        return 1
    }
    # The program shows a window besides the main one, such as a popup menu.
    another() { xdotool search --onlyvisible --pid "$pid" | grep -qvx "$window"; }
    # Rests the mouse over the Check cell of the first row, the only cell with a tooltip: the
    # last column takes 3 of the list's 33 parts, so its middle lies at 84.5% of the window's
    # width; the height of the first row depends on the font, so a few are tried.
    hoverCheckCell() {
        local x y width
        width=$(xdotool getwindowgeometry --shell "$window" | sed -n 's/^WIDTH=//p')
        x=$((width * 845 / 1000))
        xdotool windowfocus --sync "$window" # the toolkit shows tooltips in the active window
        for y in 24 32 40 48 56 64 72; do
            xdotool mousemove --window "$window" "$x" "$y"
            within 20 tooltip && return 0
        done
        return 1
    }

    cd "$folders" # where Save writes gamelist.txt
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

    # The found file has a check word, and its Check cell a tooltip; Copy and Save still write
    # its five fields.
    hoverCheckCell || fail "no tooltip over the Check cell"
    xdotool click 1 # selects the row and hides the tooltip
    within 20 eval '! tooltip' || fail "the tooltip stayed after a click"
    xdotool click 3
    within 50 another || fail "a right click showed no popup menu"
    xdotool key Down Return # its first item, Copy
    line="[0-9A-F]{8},880429,$folders/games/zork1\.z3,,unknown"
    within 50 eval '[[ "$(xclip -o -selection clipboard 2>/dev/null)" =~ ^$line$ ]]' ||
        fail "Copy gave '$(xclip -o -selection clipboard 2>/dev/null)', not five fields"
    key Tab # from the list to Save
    key space
    answer '^Save As$' "$folders/saved.xml"
    within 50 eval '[[ -f "$folders/saved.xml" && -f gamelist.txt ]]' || fail "Save wrote nothing"
    entry="<supported_game fingerprint=\"[0-9A-F]{8}\" FullName=\"unknown\" sn=\"880429\""
    entry+=" fn=\"$folders/games/zork1\.z3\" warn=\"\" />"
    grep -Eq "^ *$entry\$" "$folders/saved.xml" ||
        fail "Save did not write five fields: $(cat "$folders/saved.xml")"
    [[ "$(cat gamelist.txt)" == "$folders/games/zork1.z3 880429" ]] ||
        fail "gamelist.txt holds '$(cat gamelist.txt)'"

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
    echo "smoke: scans by Enter and Space, Check tooltip shown, Copy and Save write five fields," \
        "no stray key quits a scan, quit within the bound, placement saved"
    exit 0
fi

for tool in xvfb-run xdotool xprop xclip; do
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
