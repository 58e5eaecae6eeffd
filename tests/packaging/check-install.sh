#!/usr/bin/env bash
# Usage: check-install.sh <build folder> <with-gui: 0 or 1>
# Installs the build into a fresh prefix and checks that every file a user expects is there.
set -euo pipefail
build=$1 gui=$2
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null

expected=(bin/storycrc
          share/man/man1/storycrc.1.gz
          share/bash-completion/completions/storycrc
          share/doc/queltimport/USER-GUIDE.md)
if [[ $gui == 1 ]]; then
    expected+=(bin/QueltImport
               share/man/man1/QueltImport.1.gz
               share/bash-completion/completions/QueltImport
               share/applications/QueltImport.desktop
               share/icons/hicolor/scalable/apps/queltimport.svg)
fi
status=0
for file in "${expected[@]}"; do
    [[ -s $prefix/$file ]] || { echo "not installed: $file"; status=1; }
done
"$prefix/bin/storycrc" --version >/dev/null || { echo "installed storycrc does not run"; status=1; }
gzip -t "$prefix/share/man/man1/storycrc.1.gz" || status=1

if [[ $gui == 1 ]]; then
    desktop=$prefix/share/applications/QueltImport.desktop
    exec=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
    icon=$(sed -n 's/^Icon=//p' "$desktop")
    env -u DISPLAY -u WAYLAND_DISPLAY "$prefix/bin/QueltImport" --version >/dev/null ||
        { echo "installed QueltImport does not run without a display"; status=1; }
    [[ -x $prefix/bin/$exec ]] || { echo "desktop entry runs a missing program: $exec"; status=1; }
    [[ -f $prefix/share/icons/hicolor/scalable/apps/$icon.svg ]] ||
        { echo "desktop entry names a missing icon: $icon"; status=1; }
    if command -v desktop-file-validate >/dev/null; then
        desktop-file-validate "$desktop" || status=1
    fi
fi
exit $status
