#!/usr/bin/env bash
# Black-box checks of what an install delivers; each names what is wrong and fails.
#   check-packaging.sh manpage <program> <page> [<program> <page>]...
#       each manual page renders without warnings and documents every option of its program
#   check-packaging.sh completion <storycrc completion> [<QueltImport completion>]
#       completes a few command lines and compares the candidates offered
#   check-packaging.sh install <build folder> <with-gui: 0 or 1>
#       installs the build into a fresh prefix: every file a user expects is there and works
set -uo pipefail
status=0
fail() { echo "$*"; status=1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
what=$1
shift

# expect "<command line, the last word being completed>" "<candidates, sorted, blank-separated>"
expect()
{
    read -ra COMP_WORDS <<<"$1"
    [[ $1 == *" " ]] && COMP_WORDS+=("")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMPREPLY=()
    "_${COMP_WORDS[0]}" 2>/dev/null
    local got
    got=$(printf "%s\n" "${COMPREPLY[@]}" | LC_ALL=C sort | paste -sd " ")
    [[ $got == "$2" ]] || fail "'$1': expected [$2], got [$got]"
}

if [[ $what == manpage ]]; then
    while (($# >= 2)); do
        program=$1 page=$2
        shift 2
        warnings=$(groff -man -ww -z "$page" 2>&1)
        [[ -z $warnings ]] || fail "$page: groff warnings:"$'\n'"$warnings"
        text=$(groff -man -Tascii -P-c -P-b -P-u "$page" 2>/dev/null)
        mapfile -t options < <("$program" --help | grep -oE '(^|[[:space:]])--?[a-z_]+' | sed 's/^[[:space:]]*//' | sort -u)
        ((${#options[@]} >= 6)) || fail "$page: could not read the options from --help"
        for option in "${options[@]}"; do
            grep -qE -- "(^|[^a-z_-])${option}([^a-z_]|\$)" <<<"$text" ||
                fail "$page: not documented: $option"
        done
        for section in "EXIT STATUS" "OUTPUT" "OPTIONS"; do
            grep -q "^$section" <<<"$text" || fail "$page: missing section: $section"
        done
    done
elif [[ $what == completion ]]; then
    for script in "$@"; do
        source "$script"
    done
    cd "$work" || exit 1
    touch list.txt lantern.z3 ./-dash
    mkdir games
    expect "storycrc --" "-- --check --compare --help --ignore_rest --quiet --recurse --sfv --sum --version"
    expect "storycrc -s -c " ""
    expect "storycrc @li" "@list.txt"
    expect "storycrc -r la" "lantern.z3"
    expect "storycrc -- -" "-dash"
    if (($# > 1)); then
        expect "QueltImport --" "--catalogue --format --gamelist --help --installer --missing --quiet --save --scan --version"
        expect "QueltImport --scan games --format j" "json"
        expect "QueltImport --scan " "games"
        expect "QueltImport --scan games --catalogue l" "lantern.z3 list.txt"
        expect "QueltImport la" ""
    fi
elif [[ $what == install ]]; then
    build=$1 gui=$2
    cmake --install "$build" --prefix "$work" >/dev/null || exit 1
    cd "$work" || exit 1
    expected=(bin/storycrc share/man/man1/storycrc.1.gz share/bash-completion/completions/storycrc
              share/doc/queltimport/USER-GUIDE.md)
    if [[ $gui == 1 ]]; then
        expected+=(bin/QueltImport share/man/man1/QueltImport.1.gz
                   share/bash-completion/completions/QueltImport
                   share/applications/QueltImport.desktop
                   share/icons/hicolor/scalable/apps/queltimport.svg)
    fi
    for file in "${expected[@]}"; do
        [[ -s $work/$file ]] || fail "not installed: $file"
    done
    version=$(bin/storycrc --version) || fail "installed storycrc --version fails"
    [[ $version == *"version: 1.0.0 "*" @ "* ]] || fail "installed storycrc's version: $version"
    gzip -t share/man/man1/storycrc.1.gz || status=1
    if [[ $gui == 1 ]]; then
        desktop=share/applications/QueltImport.desktop
        exec=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
        icon=$(sed -n 's/^Icon=//p' "$desktop")
        env -u DISPLAY -u WAYLAND_DISPLAY bin/QueltImport --version >/dev/null ||
            fail "installed QueltImport does not run without a display"
        [[ -x bin/$exec ]] || fail "desktop entry runs a missing program: $exec"
        [[ -f share/icons/hicolor/scalable/apps/$icon.svg ]] ||
            fail "desktop entry names a missing icon: $icon"
        if command -v desktop-file-validate >/dev/null; then
            desktop-file-validate "$desktop" || status=1
        fi
    fi
else
    fail "no such check: $what"
fi
exit $status
