#!/bin/sh
# Runs the tests of the Windows executable: one wineserver for them all, its
# prefix made ready first, so that no test waits for wine to boot or sees its
# start-up messages; the server is stopped at the end, however the tests went.
set -u
build_dir=$1
shift
export WINEPREFIX="$build_dir/wineprefix" WINEDEBUG=-all
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)
wine64=$(command -v wine64 || echo /usr/lib/wine/wine64)
timeout 600 "$wineserver" -p120 </dev/null >/dev/null 2>&1 &
timeout 300 setarch "$(uname -m)" -R "$wine64" cmd /c exit </dev/null >/dev/null 2>&1
(cd "$build_dir" && ctest --output-on-failure --no-tests=error "$@")
status=$?
timeout 30 "$wineserver" -k >/dev/null 2>&1
exit $status
