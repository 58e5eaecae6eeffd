#!/usr/bin/env bash
# Usage: check-completion.sh <storycrc bash completion> [<QueltImport bash completion>]
# Completes a few command lines and compares the candidates offered.
set -uo pipefail
for script in "$@"; do
    source "$script"
done
cd "$(mktemp -d)" || exit 1
trap 'rm -rf "$PWD"' EXIT
touch list.txt lantern.z3 ./-dash
mkdir games

failures=0
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
    if [[ $got != "$2" ]]; then
        echo "'$1': expected [$2], got [$got]"
        failures=$((failures + 1))
    fi
}

expect "storycrc --" "-- --compare --help --ignore_rest --recurse --sum --version"
expect "storycrc -s -c " ""
expect "storycrc @li" "@list.txt"
expect "storycrc -r la" "lantern.z3"
expect "storycrc -- -" "-dash"
if (($# > 1)); then
    expect "QueltImport --" "--catalogue --gamelist --help --installer --quiet --save --scan --version"
    expect "QueltImport --scan " "games"
    expect "QueltImport --scan games --catalogue l" "lantern.z3 list.txt"
    expect "QueltImport la" ""
fi
exit $((failures > 0))
