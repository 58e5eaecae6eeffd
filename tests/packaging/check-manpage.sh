#!/usr/bin/env bash
# Usage: check-manpage.sh <program> <page> [<program> <page>]...
# Each manual page renders without warnings and documents every option its program accepts.
set -euo pipefail
status=0
while (($# >= 2)); do
    program=$1 page=$2
    shift 2
    warnings=$(groff -man -ww -z "$page" 2>&1)
    if [[ -n $warnings ]]; then
        echo "$page: groff warnings:"; echo "$warnings"; status=1
    fi

    text=$(groff -man -Tascii -P-c -P-b -P-u "$page" 2>/dev/null)
    mapfile -t options < <("$program" --help | grep -oE '(^|[[:space:]])--?[a-z_]+' | sed 's/^[[:space:]]*//' | sort -u)
    ((${#options[@]} >= 6)) || { echo "$page: could not read the options from --help"; status=1; }
    for option in "${options[@]}"; do
        if ! grep -qE -- "(^|[^a-z_-])${option}([^a-z_]|\$)" <<<"$text"; then
            echo "$page: not documented: $option"; status=1
        fi
    done
    for section in "EXIT STATUS" "OUTPUT" "OPTIONS"; do
        grep -q "^$section" <<<"$text" || { echo "$page: missing section: $section"; status=1; }
    done
done
exit $status
