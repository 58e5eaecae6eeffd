#!/usr/bin/env bash
# Builds the Debian package from the release preset, installs it on this machine and runs the
# installed programs from /usr. Needs root (apt-get). Usage: packaging/check-deb.sh
set -euo pipefail
cd "$(dirname "$0")/.."

if ! command -v dpkg-shlibdeps >/dev/null; then
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends dpkg-dev
fi
scripts/setup.sh release
rm -f build/release/queltimport_*.deb
(cd build/release && cpack -G DEB >/dev/null)
package=$(ls build/release/queltimport_*.deb)
echo "Built $package"
echo "Depends: $(dpkg-deb -f "$package" Depends)"

DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --reinstall "./$package" >/dev/null

/usr/bin/storycrc --version
for file in /usr/share/man/man1/storycrc.1.gz /usr/share/bash-completion/completions/storycrc \
            /usr/share/doc/queltimport/USER-GUIDE.md; do
    [[ -s $file ]] || { echo "missing after install: $file"; exit 1; }
done
for file in /usr/bin/QueltImport /usr/share/applications/QueltImport.desktop \
            /usr/share/man/man1/QueltImport.1.gz /usr/share/bash-completion/completions/QueltImport \
            /usr/share/icons/hicolor/scalable/apps/queltimport.svg; do
    [[ -s $file ]] || { echo "missing after install: $file"; exit 1; }
done
env -u DISPLAY -u WAYLAND_DISPLAY /usr/bin/QueltImport --scan samples/ \
    --catalogue samples/catalogue.xml --quiet | tail -n 1
bash tests/ui/smoke.sh --installed /usr/bin/QueltImport
echo "Package installs and runs."
