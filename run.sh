#!/usr/bin/env bash
# Builds the installation media and starts setup.exe from it under Wine.
# With a display it runs there; without one it runs on a virtual display,
# walks the default installation, and keeps screenshots in build/screens/.
set -euo pipefail
cd "$(dirname "$0")"
scripts/build.sh
export WINEPREFIX=$PWD/build/run-prefix WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
tests/prepare-prefix.sh "$WINEPREFIX"
mkdir -p build/screens
if [ -n "${DISPLAY:-}" ]; then
    exec wine build/media/setup.exe "$@"
fi
walker=build/walkthrough.exe
if [ -x "$walker" ]; then
    xvfb-run -a -s "-screen 0 1280x1024x24" wine "$walker" "$@"
else
    xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
        wine build/media/setup.exe "$@" & pid=$!
        sleep 6; import -window root build/screens/run-first-window.png
        wineserver -k; wait $pid || true' run "$@"
fi
for f in build/screens/*.bmp; do [ -e "$f" ] && convert "$f" "${f%.bmp}.png" && rm -f "$f"; done
echo "Screenshots: $(ls build/screens | wc -l) in build/screens/"
