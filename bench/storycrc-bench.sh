#!/usr/bin/env bash
# Times storycrc against the CRC tools a user would otherwise reach for, and against dd
# reading the file, on a 1 GiB file and on a tree of 10,000 story files, and checking that
# tree from an .sfv list (cksfv too when it is installed), with the page cache warm. Prints
# medians and the ratios the goals are stated in. Then times storycrc.exe under wine on the
# file and the tree (no goal: the figures show the cost of zlib's CRC and of wine).
# Usage: bench/storycrc-bench.sh [corpus-folder]   (default /tmp/quelt-bench)
set -euo pipefail
cd "$(dirname "$0")/.."
corpus=${1:-/tmp/quelt-bench}
runs=${RUNS:-7}

peers=(7zip rhash libarchive-zip-perl hyperfine python3)
missing=()
for p in "${peers[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
fi
scripts/setup.sh mingw >/dev/null # the build's own packages, and storycrc.exe
cmake --preset release >/dev/null
cmake --build --preset release -j2 --target storycrc crc_rate >/dev/null
cmake --build --preset mingw -j2 --target crc_rate >/dev/null
storycrc=$PWD/build/release/tools/storycrc/storycrc
wine="$PWD/cmake/wine-run.sh $PWD/build/mingw/wine"
storycrc_exe="$wine $PWD/build/mingw/tools/storycrc/storycrc.exe"

python3 bench/make-corpus.py "$corpus"
cd "$corpus"
cat big.bin >/dev/null
find tree -type f -exec cat {} + >/dev/null
echo "load before the runs: $(cut -d' ' -f1-3 /proc/loadavg), $(nproc) cores"

# Median wall time in seconds of a command, from hyperfine's JSON export.
median() {
    hyperfine --style none --warmup 1 --runs "$runs" --export-json /tmp/quelt-bench.json \
        "$1" >/dev/null 2>&1
    python3 -c 'import json; print("%.3f" % json.load(open("/tmp/quelt-bench.json"))["results"][0]["median"])'
}

ratio() { python3 -c "print('%.1fx' % ($1 / $2))"; }

echo "== 1 GiB file"
s_big=$(median "$storycrc big.bin")
z_big=$(median "7zz h big.bin")
r_big=$(median "rhash --crc32 big.bin")
c_big=$(median "crc32 big.bin")
d_big=$(median "dd if=big.bin of=/dev/null bs=1M")
printf '%-22s %8s s\n' "storycrc" "$s_big" "7zz h" "$z_big" "rhash --crc32" "$r_big" "crc32" "$c_big" \
    "dd bs=1M (read only)" "$d_big"
fastest_big=$(printf '%s\n' "$z_big" "$r_big" "$c_big" | sort -g | head -1)
echo "storycrc vs fastest peer: $(ratio "$fastest_big" "$s_big") faster (goal: at least 4x)"
echo "storycrc vs dd bs=1M:     $(ratio "$d_big" "$s_big") faster (goal: above 1x)"

echo "== tree of 10,000 files"
s_tree=$(median "$storycrc -r tree")
z_tree=$(median "7zz h -r tree")
r_tree=$(median "rhash -r --crc32 tree")
c_tree=$(median "find tree -type f -exec crc32 {} +")
printf '%-22s %8s s\n' "storycrc -r" "$s_tree" "7zz h -r" "$z_tree" "rhash -r --crc32" "$r_tree" \
    "crc32 (find)" "$c_tree"
fastest_tree=$(printf '%s\n' "$z_tree" "$r_tree" "$c_tree" | sort -g | head -1)
echo "storycrc -r vs fastest peer: $(ratio "$fastest_tree" "$s_tree") faster (goal: at least 4x)"

echo "== checking the tree from an .sfv list"
"$storycrc" --sfv -r tree >tree.sfv 2>/dev/null
names=("storycrc --check" "rhash -c")
commands=("$storycrc --check tree.sfv" "rhash -c tree.sfv")
if command -v cksfv >/dev/null; then
    names+=("cksfv -f")
    commands+=("cksfv -f tree.sfv")
fi
times=()
for i in "${!commands[@]}"; do
    ${commands[i]} >/dev/null 2>&1 || { echo "${names[i]} fails on tree.sfv" >&2; exit 1; }
    times+=("$(median "${commands[i]}")")
    printf '%-22s %8s s\n' "${names[i]}" "${times[i]}"
done
fastest_check=$(printf '%s\n' "${times[@]:1}" | sort -g | head -1)
echo "storycrc --check vs fastest peer: $(ratio "$fastest_check" "${times[0]}") faster (goal: at least 4x)"

echo "== storycrc.exe under wine (zlib's CRC; no goal)"
w_big=$(median "$storycrc_exe big.bin")
w_tree=$(median "$storycrc_exe -r tree")
printf '%-22s %8s s\n' "storycrc.exe" "$w_big" "storycrc.exe -r" "$w_tree"
echo "storycrc.exe vs storycrc: $(ratio "$w_big" "$s_big") the time on the file," \
    "$(ratio "$w_tree" "$s_tree") on the tree"

echo "== machine"
echo "Linux, ISA-L: $("$OLDPWD/build/release/bench/crc_rate")"
echo "Windows under wine, zlib: $($wine "$OLDPWD/build/mingw/bench/crc_rate.exe" | tr -d '\r')"
python3 -c "print('storycrc on the 1 GiB file: %.2f GB/s' % (1073741824 / $s_big / 1e9))"
python3 -c "print('storycrc.exe on the 1 GiB file: %.2f GB/s' % (1073741824 / $w_big / 1e9))"
echo "load after the runs: $(cut -d' ' -f1-3 /proc/loadavg)"
