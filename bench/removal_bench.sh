#!/usr/bin/env bash
# Removal benchmark under Wine: uninstall.exe's removal run against cmd's rmdir.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DWINGET_TEST_BUILD=ON >/dev/null
cmake --build build -j"$(nproc)" --target media removal_bench >/dev/null
export WINEPREFIX=$PWD/build/bench-prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
tests/prepare-prefix.sh "$WINEPREFIX"
trap 'wineserver -k 2>/dev/null || true' EXIT
wineserver -p
xvfb-run -a -s "-screen 0 1280x1024x24" wine build/bench/removal_bench.exe "Z:$(pwd | sed 's|/|\\|g')\\build\\media" "${1:-9}"
