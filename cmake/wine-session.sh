#!/usr/bin/env bash
# One Wine server and one virtual display for a whole run of the Windows suite, so no test waits on a
# server or a desktop that is starting or going away.
#   wine-session.sh prefix BUILD  makes the build tree's Wine prefix once (fonts included)
#   wine-session.sh start BUILD   prefix, a display when there is none, a server kept until stop
#   wine-session.sh stop BUILD    ends the server and the display that start made
# A session started with GV_WINE_SESSION=outer in the environment belongs to its caller: start and stop
# then leave it alone (the suite's own set-up and clean-up tests use that).
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
action=$1
build=$(cd "$2" && pwd)
export WINEPREFIX="$build/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
session="$build/wine-session"

# The prefix is ready when it was set up with the current font table.
prefix_ready() {
    [ "$(cat "$WINEPREFIX/.gv-ready" 2>/dev/null)" = "$(cksum <"$here/wine-fonts.reg")" ]
}

make_prefix() {
    prefix_ready && return
    mkdir -p "$WINEPREFIX"
    (
        flock 9
        prefix_ready && exit 0
        [ -f "$WINEPREFIX/system.reg" ] || wineboot -i >/dev/null 2>&1 || true
        # Metric-compatible fonts for the faces the windows ask for, so text is laid out as on Windows.
        wine regedit /S "$(winepath -w "$here/wine-fonts.reg")" >/dev/null 2>&1
        wineserver -w
        cksum <"$here/wine-fonts.reg" >"$WINEPREFIX/.gv-ready"
    ) 9>"$build/.wineprefix.lock"
}

start_display() {
    [ -n "${DISPLAY:-}" ] && return
    local numberFile="$session/display"
    : >"$numberFile"
    # -displayfd picks a free display itself, without the race of probing for one.
    setsid Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$numberFile" </dev/null >/dev/null 2>&1 &
    echo $! >"$session/xvfb.pid"
    for _ in $(seq 100); do
        [ -s "$numberFile" ] && return
        sleep 0.1
    done
    echo "wine-session: the virtual display did not start" >&2
    exit 1
}

stop() {
    wineserver -k >/dev/null 2>&1 || true
    timeout 30 wineserver -w >/dev/null 2>&1 || true
    if [ -f "$session/xvfb.pid" ]; then
        kill "$(cat "$session/xvfb.pid")" 2>/dev/null || true
    fi
    rm -rf "$session"
}

case "$action" in
    prefix)
        make_prefix
        ;;
    start)
        [ "${GV_WINE_SESSION:-}" = outer ] && exit 0
        make_prefix
        stop  # a session left by an interrupted run
        mkdir -p "$session"
        start_display
        [ -n "${DISPLAY:-}" ] || export DISPLAY=":$(head -n 1 "$session/display")"
        # Persistent until stop. The server, and the services and desktop that wineboot starts here, live
        # as long as the session: their output must not be a test's, or its end waits for theirs.
        wineserver -p </dev/null >/dev/null 2>&1
        wineboot </dev/null >/dev/null 2>&1
        ;;
    stop)
        [ "${GV_WINE_SESSION:-}" = outer ] && exit 0
        stop
        ;;
    *)
        echo "usage: wine-session.sh prefix|start|stop BUILD" >&2
        exit 2
        ;;
esac
