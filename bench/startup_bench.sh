#!/usr/bin/env bash
# Start-up benchmark under Wine: setup.exe from a copy of the media (no earlier
# installation recorded) against a minimal dialog program. Prints a ratio.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DWINGET_TEST_BUILD=ON >/dev/null
cmake --build build -j"$(nproc)" --target media startup_bench minimal_dialog >/dev/null
export WINEPREFIX=$PWD/build/bench-prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
tests/prepare-prefix.sh "$WINEPREFIX"
media=$(mktemp -d /tmp/brellic-bench-media.XXXX)
trap 'rm -rf "$media"; wineserver -k 2>/dev/null || true' EXIT
cp build/media/* "$media/"
wineserver -p
wine reg delete 'HKLM\Software\Brellic Software\Pagewright' /reg:64 /f >/dev/null 2>&1 || true
xvfb-run -a -s "-screen 0 1280x1024x24" wine build/bench/startup_bench.exe "Z:${media//\//\\}\\setup.exe" \
    "Z:$(pwd | sed 's|/|\\|g')\\build\\bench\\minimal_dialog.exe" "${1:-15}"
