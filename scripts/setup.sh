#!/usr/bin/env bash
# Installs the Debian packages the project needs (only those missing), then configures and
# builds the given CMake presets. Usage: scripts/setup.sh [--tests] <preset>...
set -euo pipefail
cd "$(dirname "$0")/.."

# qt6-qpa-plugins holds the X11 and Wayland back ends that show QueltImport's window.
packages=(cmake ninja-build g++ pkg-config libboost-dev libisal-dev libtinyxml-dev libtclap-dev
          zlib1g-dev nlohmann-json3-dev qt6-base-dev qt6-qpa-plugins fonts-liberation2)
# storycrc for Windows (the mingw preset): the cross compiler with std::thread, zlib for it,
# GoogleTest's sources, and wine to run the tests (wine64 alone: no 32-bit Windows programs).
windows=(g++-mingw-w64-x86-64-posix libz-mingw-w64-dev googletest wine wine64)
if [[ " $* " == *" mingw "* ]]; then
    packages+=("${windows[@]}")
fi
if [[ "${1:-}" == "--tests" ]]; then
    shift
    # clang and its run-time libraries for libFuzzer (tests/fuzz/run-fuzzers.sh); setpriv
    # (util-linux) runs fault tests as an unprivileged user; dpkg-dev builds the Debian package;
    # gcovr measures coverage (scripts/coverage.sh); inform6-compiler and frotz make and verify
    # real story files; python3 reads the batch mode's csv and json back; rhash and cksfv read
    # the lists storycrc --sfv writes; x11-utils (xprop) and xclip let tests/ui/smoke.sh see
    # tooltips and read the clipboard.
    packages+=(libgtest-dev libgmock-dev xvfb xauth xdotool x11-utils xclip desktop-file-utils
               groff-base clang libclang-rt-14-dev util-linux dpkg-dev gcovr inform6-compiler frotz
               python3 rhash cksfv "${windows[@]}")
fi

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

jobs=$(nproc)
for preset in "$@"; do
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" -j "$jobs"
done
