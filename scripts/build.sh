#!/usr/bin/env bash
# Configures and builds everything into build/ (media in build/media).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DWINGET_TEST_BUILD=ON >/dev/null
cmake --build build -j"$(nproc)"
