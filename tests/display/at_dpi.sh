#!/usr/bin/env bash
# Runs a test program under Wine in a prefix of its own whose display has the
# given DPI (its LogPixels), so the common prefix and its suites keep 96.
set -u
dpi=${1:?dpi}
shift
here=$(cd "$(dirname "$0")/.." && pwd)
prefix=${TEST_WINEPREFIX:-$here/../build/wineprefix}-dpi$dpi
"$here/prepare-prefix.sh" "$prefix" || exit 1
export WINEPREFIX=$prefix WINEDEBUG=-all
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
status=0
TEST_WINEPREFIX=$prefix DISPLAY_TEST_DPI=$dpi "$here/wine-run.sh" "$@" || status=$?
wineserver -k 2>/dev/null || true
exit $status
