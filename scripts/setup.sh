#!/usr/bin/env bash
# Installs the Debian packages the project needs (only those missing), then configures and
# builds the given CMake presets. Usage: scripts/setup.sh [--tests] <preset>...
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(cmake ninja-build g++ pkg-config libboost-dev libisal-dev libtinyxml-dev libtclap-dev
          qt6-base-dev fonts-liberation2)
if [[ "${1:-}" == "--tests" ]]; then
    shift
    packages+=(libgtest-dev libgmock-dev xvfb xauth qt6-qpa-plugins desktop-file-utils groff-base)
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
