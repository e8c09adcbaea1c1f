#!/usr/bin/env bash
# Runs a Windows program under Wine with the prefix of its build tree, quietly, on the display of the
# tree's Wine session (cmake/wine-session.sh) when there is one, else on a virtual display of its own.
set -u
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
prog=$1; shift
dir=$(cd "$(dirname "$prog")" && pwd)
while [ "$dir" != / ] && [ ! -f "$dir/CMakeCache.txt" ]; do dir=$(dirname "$dir"); done
[ -f "$dir/CMakeCache.txt" ] || dir=$(cd "$(dirname "$prog")" && pwd)
bash "$here/wine-session.sh" prefix "$dir" || exit 1
export WINEPREFIX="$dir/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# The Russian user is the program's main user: the suite runs with code pages 1251 and 866 where the host
# has the locale (scripts/bootstrap.sh makes it). GV_WINE_LOCALE chooses another one.
locale=${GV_WINE_LOCALE:-ru_RU.UTF-8}
if locale -a 2>/dev/null | grep -qix "$(echo "$locale" | sed 's/UTF-8$/utf8/I')"; then
    export LANG="$locale" LC_ALL="$locale"
fi
if [ -z "${DISPLAY:-}" ] && [ -s "$dir/wine-session/display" ]; then
    export DISPLAY=":$(head -n 1 "$dir/wine-session/display")"
fi
# Listing the tests opens no window.
if [ -n "${DISPLAY:-}" ] || [ "${1:-}" = --gtest_list_tests ]; then
    exec wine "$prog" "$@"
fi
exec xvfb-run -a -s "-screen 0 1024x768x24" wine "$prog" "$@"
