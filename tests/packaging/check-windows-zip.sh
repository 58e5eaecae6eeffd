#!/usr/bin/env bash
# Checks the zip for Windows; each check names what is wrong and fails.
#   check-windows-zip.sh <zip> <objdump> <command that runs a Windows program>...
# The zip holds storycrc.exe, README.txt and LICENCE.txt; the program is at most 2 MiB (it
# grows past that unstripped), imports only DLLs every Windows has (not the C++ run-time or
# zlib's), carries its manifest and runs; the texts have Windows line ends.
set -uo pipefail
status=0
fail() { echo "$*"; status=1; }
zip=$(realpath "$1") objdump=$2
shift 2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

files=$(cmake -E tar tf "$zip" | sort | paste -sd " ")
[[ $files == "LICENCE.txt README.txt storycrc.exe" ]] || fail "the zip holds: $files"
(cd "$work" && cmake -E tar xf "$zip") || { fail "$zip does not unpack"; exit 1; }
exe=$work/storycrc.exe

size=$(stat -c %s "$exe")
imports=$("$objdump" -p "$exe" | sed -n 's/^\tDLL Name: //p' | tr 'A-Z' 'a-z' | sort |
    paste -sd " ")
echo "$(basename "$zip"): $(stat -c %s "$zip") bytes; storycrc.exe: $size bytes, imports: $imports"
((size <= 2 * 1024 * 1024)) || fail "storycrc.exe has $size bytes, more than 2 MiB"
[[ -n $imports ]] || fail "storycrc.exe imports nothing: not a Windows program?"
for dll in $imports; do
    case $dll in
        kernel32.dll | msvcrt.dll | shell32.dll | advapi32.dll | user32.dll) ;;
        *) fail "storycrc.exe imports $dll, which is not part of Windows" ;;
    esac
done
grep -q "<activeCodePage" "$exe" || fail "storycrc.exe has no manifest asking for UTF-8"
version=$("$@" "$exe" --version 2>&1)
[[ $version == *"version: 1.0.0 "* ]] || fail "storycrc.exe --version says: $version"

for text in README.txt LICENCE.txt; do
    grep -qv $'\r$' "$work/$text" && fail "$text has lines without a Windows line end"
done
grep -q "^storycrc \[-s\] \[-r\]" "$work/README.txt" || fail "README.txt lacks the usage line"
for part in TCLAP zlib mingw-w64 GCC; do
    grep -q "^==== .*$part" "$work/LICENCE.txt" || fail "LICENCE.txt lacks the part on $part"
done
exit $status
