#!/usr/bin/env bash
# Runs a Windows program of the build under wine, in the wine prefix given first, which is made
# on first use (about 10 s). The emulator of the mingw build: tests and their discovery run
# through it.
#   cmake/wine-run.sh <wine prefix> <program.exe> [arguments...]
# wine's server and services are started here, with no standard stream of this command: when
# a program's own wine starts them, they keep its output pipes open, and whoever reads those
# (ctest, ninja) waits for ever. The server then stays 10 minutes after its last program, so
# that the next one starts in tens of milliseconds instead of half a second.
set -euo pipefail
export WINEPREFIX=$(realpath -m "$1")
shift
export WINEDEBUG=-all                     # no diagnostics of wine's among the program's output
export WINEDLLOVERRIDES="mscoree,mshtml=" # no offer to install .NET or a browser engine
export LC_ALL=C.UTF-8                     # names pass between Linux and Windows as UTF-8
mkdir -p "$WINEPREFIX"
(
    flock 9
    # 0 when this started the server, 2 when one was running already. Neither may keep the
    # lock's file open.
    if wineserver -p600 </dev/null >/dev/null 2>&1 9>&-; then
        wine cmd /c exit </dev/null >/dev/null 2>&1 9>&-
    fi
) 9>"$WINEPREFIX/.start-lock"
exec wine "$@"
