#!/usr/bin/env bash
# Checks of the engine's work that need the host: links read back by an
# independent reader (lnkinfo), and a copy onto a Wine drive that fills up
# (a small tmpfs, which needs root), for the engine and, given the journey
# and release tests, for a whole quiet installation and the download. Exit 77 means the host cannot do it.
set -u
mode=${1:?mode: lnkinfo or full_drive}
exe=${2:?engine_tests.exe}
journeys=${3:-}
tests=$(cd "$(dirname "$0")/.." && pwd)
prefix=${TEST_WINEPREFIX:-$tests/../build/wineprefix}

# Runs one test (of the engine's, or of the given program) that only works when this script sets it up.
run_one() {
    local log
    log=$("$tests/wine-run.sh" "${2:-$exe}" --gtest_color=no --gtest_filter="$1" 2>&1)
    echo "$log"
    grep -q '^\[       OK \]' <<<"$log"
}

case $mode in
lnkinfo)
    command -v lnkinfo >/dev/null || { echo "lnkinfo is not installed (liblnk-utils)"; exit 77; }
    out=$(mktemp -d /tmp/brellic-links.XXXXXX)
    trap 'rm -rf "$out"' EXIT
    BRELLIC_LINK_EXPORT="Z:${out//\//\\}" run_one Shortcuts.ExportForTheIndependentReader || exit 1
    status=0
    check() {  # link, target
        local info
        info=$(lnkinfo "$out/$1.lnk" 2>&1)
        local path description
        path=$(awk -F'\t+: ' '/^\tLocal path/ {print $2}' <<<"$info")
        description=$(awk -F'\t+: ' '/^\tDescription/ {print $2}' <<<"$info")
        if [ "$path" != "$2" ] || [ "$description" != "shortcut Brellic Pagewright" ]; then
            echo "lnkinfo does not show description and target \"$2\" in $1.lnk:"
            echo "$info"
            status=1
        fi
    }
    check "Brellic Pagewright" 'C:\Program Files\Brellic Software\Pagewright\Scrivo.exe'
    check "Brellic Pagewright User Manual" 'C:\Program Files\Brellic Software\Pagewright\scrivoguide.pdf'
    exit $status
    ;;
full_drive)
    mnt=$(mktemp -d /tmp/brellic-small-drive.XXXXXX)
    if ! mount -t tmpfs -o size=1m tmpfs "$mnt" 2>/dev/null; then
        rmdir "$mnt"
        echo "cannot mount a small tmpfs here (needs root); the full-drive check is skipped"
        exit 77
    fi
    letter=
    for l in q r s t u v w; do
        if [ ! -e "$prefix/dosdevices/$l:" ] && [ ! -L "$prefix/dosdevices/$l:" ]; then letter=$l; break; fi
    done
    [ -n "$letter" ] || { umount "$mnt"; rmdir "$mnt"; echo "no free drive letter"; exit 77; }
    ln -s "$mnt" "$prefix/dosdevices/$letter:"
    trap 'rm -f "$prefix/dosdevices/$letter:"; umount "$mnt"; rmdir "$mnt"' EXIT
    BRELLIC_SMALL_DRIVE="$letter:" run_one CopyFiles.FullDriveNamesTheFilesThatDidNotFit || exit 1
    if [ -n "$journeys" ]; then
        BRELLIC_SMALL_DRIVE="$letter:" run_one Unattended.AFullDriveFailsTheInstallationAndLeavesTheMachineAsItWas \
            "$journeys" || exit 1
    fi
    if [ -n "${4:-}" ]; then
        BRELLIC_SMALL_DRIVE="$letter:" run_one Download.ATemporaryDriveThatFillsUpIsReportedAndLeftEmpty "$4" || exit 1
    fi
    ;;
*)
    echo "unknown mode $mode"
    exit 2
    ;;
esac
