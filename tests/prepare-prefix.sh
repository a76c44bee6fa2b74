#!/usr/bin/env bash
# Makes a fresh Wine prefix for the tests, once: no Mono or Gecko offers, no
# window-manager stalls, and shell folders inside the prefix rather than $HOME.
set -e
prefix=${1:?prefix}
[ -f "$prefix/.test-prefix-ready" ] && exit 0
mkdir -p "$prefix"
exec 9>"$prefix.lock"
flock 9
[ -f "$prefix/.test-prefix-ready" ] && exit 0
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
wineboot -i >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\DllOverrides' /v winemenubuilder.exe /t REG_SZ /d '' /f >/dev/null 2>&1
wineserver -w
# Replace the links into $HOME with real folders inside the prefix.
for dir in "$prefix"/drive_c/users/*/; do
    for link in "$dir"*; do
        if [ -L "$link" ]; then
            rm -f "$link"
            mkdir -p "$link"
        fi
    done
done
# Drive R: is an empty folder of its own, for media in the root of a drive.
mkdir -p "$prefix/drives/r"
ln -sfn "$prefix/drives/r" "$prefix/dosdevices/r:"
touch "$prefix/.test-prefix-ready"
