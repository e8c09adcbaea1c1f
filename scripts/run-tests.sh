#!/usr/bin/env bash
# Runs the native suite, then the Windows suite under Wine in one session: one server and one display
# for the whole run, ended when the run ends however it ends.
set -euo pipefail
native=$1
win=$2
jobs=$(nproc)

ctest --test-dir "$native" -j "$jobs" --output-on-failure

session="$(dirname "$0")/../cmake/wine-session.sh"
bash "$session" start "$win"
trap 'bash "$session" stop "$win"' EXIT
trap 'exit 130' INT TERM
if [ -z "${DISPLAY:-}" ]; then
    DISPLAY=":$(head -n 1 "$win/wine-session/display")"
    export DISPLAY
fi
# The suite's own session set-up and clean-up leave this session alone (the clean-up above does not).
GV_WINE_SESSION=outer ctest --test-dir "$win" -j "$jobs" --output-on-failure
