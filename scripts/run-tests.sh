#!/usr/bin/env bash
# Runs the native suite, then the Windows suite under Wine on one virtual display.
set -euo pipefail
native=$1
win=$2
jobs=$(nproc)

ctest --test-dir "$native" -j "$jobs" --output-on-failure

# One prefix, created before discovery so it never reads Wine's start-up messages.
export WINEPREFIX="$PWD/$win/wineprefix" WINEDEBUG=-all
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" wineboot -i >/dev/null 2>&1 || true
fi
wineserver -p60 || true
if [ -z "${DISPLAY:-}" ]; then
    xvfb-run -a -s "-screen 0 1024x768x24" ctest --test-dir "$win" -j "$jobs" --output-on-failure
else
    ctest --test-dir "$win" -j "$jobs" --output-on-failure
fi
