#!/usr/bin/env bash
# Runs a Windows program under Wine with a prefix of its own inside the build tree, quietly,
# under a virtual X display when there is none.
set -u
prog=$1; shift
dir=$(cd "$(dirname "$prog")" && pwd)
while [ "$dir" != / ] && [ ! -f "$dir/CMakeCache.txt" ]; do dir=$(dirname "$dir"); done
[ -f "$dir/CMakeCache.txt" ] || dir=$(cd "$(dirname "$prog")" && pwd)
export WINEPREFIX="$dir/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    (flock 9; [ -f "$WINEPREFIX/system.reg" ] || { wineboot -i >/dev/null 2>&1; wineserver -w; }) 9>"$dir/.wineprefix.lock"
fi
if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1024x768x24" wine "$prog" "$@"
fi
exec wine "$prog" "$@"
