#!/usr/bin/env bash
# The 32-bit build (the form most installers ship in), and its default
# installation and removal on 32-bit Wine where this machine can run it.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-i686.cmake >/dev/null
cmake --build build32 -j"$(nproc)" --target setup uninstall media journey_tests
# 32-bit Wine needs a kernel that runs 32-bit programs; a tiny 32-bit program that only exits tells.
probe=$(mktemp)
printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08\x5c\x00\x00\x00\x5c\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00\x31\xdb\x31\xc0\x40\xcd\x80' >"$probe"
chmod +x "$probe"
if ! "$probe" 2>/dev/null; then
    rm -f "$probe"
    echo "32-bit build: compiled. Its journey is skipped: this machine's kernel runs no 32-bit programs, so 32-bit Wine cannot start here."
    exit 0
fi
rm -f "$probe"
if ! dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q 'install ok installed'; then
    dpkg --add-architecture i386
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends wine32:i386 >/dev/null
fi
wine cmd /c exit >/dev/null 2>&1 </dev/null  # Wine's services, away from CTest's output
GTEST_FILTER='Journey.DefaultInstallation*' ctest --test-dir build32 -R journey_tests --output-on-failure
