# shellcheck shell=bash
# How every benchmark under Wine starts, sourced once `here` is set: the build
# folder (the script's argument, or build/), the targets it runs built, the
# test prefix ready, `wine`, and `installed`, where setup installs: not under
# /tmp, since setup refuses an installation for all users in a folder that
# anyone may change.
# Usage: bench_start <build dir or ""> <default rounds> <work folder> <target...>
# The variables it sets are the scripts' own.
# shellcheck disable=SC2034
bench_start() {
    build=$(cd "${1:-$here/../build}" && pwd)
    rounds=${ROUNDS:-$2}
    work=$3
    shift 3
    export WINEPREFIX=${WINEPREFIX:-$build/wineprefix} WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
    cmake --build "$build" -j2 --target "$@" >/dev/null
    "$here/../tests/prepare-prefix.sh" "$WINEPREFIX"
    wine=$(command -v wine64 || command -v wine)
    installed=$build/bench-installed
}

# No installation left for the next setup to reinstall over: the product's keys
# under both roots and the installed folder.
clean_installation() {
    local key
    for key in 'HKLM\Software\Brellic Software\Pagewright' 'HKCU\Software\Brellic Software\Pagewright' \
        'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Brellic Pagewright' \
        'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Brellic Pagewright'; do
        "$wine" reg delete "$key" /reg:64 /f >/dev/null 2>&1 || true
    done
    rm -rf "$installed"
}
