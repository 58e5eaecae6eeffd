#!/usr/bin/env bash
# storycrc.exe under wine prints byte for byte the CRC lines of the Linux build, line ends
# aside: over the samples and over a tree whose names are not ASCII, given as names, in a
# response file, as folders to walk (where Windows writes '\' for '/'), and summed.
#   same-as-linux.sh <Linux storycrc> <samples folder> <storycrc.exe>
#                    <command that runs a Windows program>...
set -uo pipefail
linux=$1 samples=$2 exe=$3
shift 3
if [[ ! -x $linux ]]; then
    echo "no Linux build of storycrc at $linux: build the dev preset first"
    exit 1
fi
status=0
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$samples" "$work/samples"
cd "$work" || exit 1
export LC_ALL=C.UTF-8

# Latin, Greek, CJK and combining letters; and a fullwidth A (U+FF21) beside a letter beyond
# U+FFFF (U+1D538, a surrogate pair in UTF-16): in UTF-16 the second sorts first, in UTF-8 and
# on Linux the first does.
mkdir -p tree/Ωμέγα/日本語 tree/café
i=0
for name in café.z5 Ωμέγα/ß.z3 Ωμέγα/日本語/物語.z8 café/Nai$'\u0308've.dat Ａ.z5 𝔸.z5 plain.z5; do
    printf 'story %d' $((i++)) >"tree/$name"
done

# The lines of both builds for the same arguments; `walk` maps Windows' '\' to '/'.
compare() {
    local map=cat
    if [[ $1 == walk ]]; then
        map="tr \\\\ /"
        shift
    fi
    local want got
    want=$("$linux" "$@" 2>/dev/null)
    got=$("${run[@]}" "$exe" "$@" 2>/dev/null | tr -d '\r' | $map)
    if [[ -z $want || $got != "$want" ]]; then
        echo "storycrc $*: Linux printed"$'\n'"$want"$'\n'"storycrc.exe printed"$'\n'"$got"
        status=1
    fi
}
run=("$@")
mapfile -t names < <(find samples tree -type f | sort)
compare "${names[@]}"
printf '%s\n' "${names[@]}" >list.txt
compare @list.txt
compare walk -r samples
compare walk -r tree
compare -s -r samples tree

exit $status
