#!/usr/bin/env bash
# Builds everything and runs every test under Wine, in a fresh prefix under build/.
set -euo pipefail
cd "$(dirname "$0")"
scripts/build.sh
export TEST_WINEPREFIX=$PWD/build/wineprefix WINEPREFIX=$PWD/build/wineprefix WINEDEBUG=-all
rm -rf "$TEST_WINEPREFIX" "$TEST_WINEPREFIX.lock"
tests/prepare-prefix.sh "$TEST_WINEPREFIX"
wineserver -p
trap 'wineserver -k 2>/dev/null || true' EXIT
mkdir -p build/screens
if [ $# -eq 0 ]; then
    xvfb-run -a -s "-screen 0 1280x1024x24" scripts/run-32bit-journey.sh
fi
status=0
# The first program of a display starts Wine's own services (desktop, device
# manager); started here with their output elsewhere, they do not hold CTest's
# output pipe open after a test has ended.
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
    wine cmd /c exit >/dev/null 2>&1 </dev/null
    ctest --test-dir build --output-on-failure "$@"' ctest-run "$@" || status=$?
for f in build/screens/*.bmp; do [ -e "$f" ] && convert "$f" "${f%.bmp}.png" && rm -f "$f"; done
exit $status
