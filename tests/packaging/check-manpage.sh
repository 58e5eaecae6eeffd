#!/usr/bin/env bash
# Usage: check-manpage.sh <storycrc> <storycrc.1>
# The manual page renders without warnings and documents every option the program accepts.
set -euo pipefail
program=$1 page=$2

warnings=$(groff -man -ww -z "$page" 2>&1)
if [[ -n $warnings ]]; then
    echo "groff warnings:"; echo "$warnings"; exit 1
fi

text=$(groff -man -Tascii -P-c -P-b -P-u "$page" 2>/dev/null)
mapfile -t options < <("$program" --help | grep -oE '(^|[[:space:]])--?[a-z_]+' | sed 's/^[[:space:]]*//' | sort -u)
((${#options[@]} >= 6)) || { echo "could not read the options from --help"; exit 1; }
status=0
for option in "${options[@]}"; do
    if ! grep -qE -- "(^|[^a-z_-])${option}([^a-z_]|\$)" <<<"$text"; then
        echo "not documented: $option"; status=1
    fi
done
for section in "EXIT STATUS" "OUTPUT" "OPTIONS"; do
    grep -q "^$section" <<<"$text" || { echo "missing section: $section"; status=1; }
done
exit $status
