#!/usr/bin/env bash
# The 32-bit build (the form most installers ship in), and its default
# installation and removal on 32-bit Wine where this machine can run it.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-i686.cmake -DWINGET_TEST_BUILD=ON >/dev/null
cmake --build build32 -j"$(nproc)" --target setup uninstall media journey_tests download release_tests
# The manifests name the x86 download now that there is one.
[ -d build ] && cmake --build build --target winget_manifests >/dev/null
# 32-bit Wine needs a kernel that runs 32-bit programs; scripts/install-deps.sh
# has installed it, before any prefix was made, wherever one does.
if ! scripts/runs-32bit.sh; then
    echo "32-bit build: compiled. Its journey is skipped: this machine's kernel runs no 32-bit programs, so 32-bit Wine cannot start here."
    exit 0
fi
wine cmd /c exit >/dev/null 2>&1 </dev/null  # Wine's services, away from CTest's output
GTEST_FILTER='Journey.DefaultInstallation*' ctest --test-dir build32 -R journey_tests --output-on-failure
# The x86 download carries the media in the same packed form: the same tests of
# the packing and of the download's runs (but the wizard's, which reads setup's
# start-up block, something a 32-bit program cannot do in a 64-bit one).
GTEST_FILTER='PackedPayload*:Download.*:-Download.RunsTheWizard*' \
    ctest --test-dir build32 -R release_tests --output-on-failure
# The 32-bit programs keep their entry in the 32-bit registry view, where the
# detection rules for the x86 build look, and nothing in the 64-bit one.
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Brellic Pagewright'
wine build32/media/setup.exe /S
folder=$(wine reg query "$key" /v InstallLocation /reg:32 | tr -d '\r' | sed -n 's/.*REG_SZ *//p')
[ -n "$folder" ] || { echo "32-bit build: no Uninstall entry in the 32-bit view"; exit 1; }
if wine reg query "$key" /reg:64 >/dev/null 2>&1; then
    echo "32-bit build: its Uninstall entry is in the 64-bit view"; exit 1
fi
wine "${folder}uninstall.exe" /S
if wine reg query "$key" /reg:32 >/dev/null 2>&1; then
    echo "32-bit build: the removal left its Uninstall entry"; exit 1
fi
echo "32-bit build: its entry is in the 32-bit view, and goes with the removal"
