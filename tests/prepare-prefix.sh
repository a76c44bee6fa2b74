#!/usr/bin/env bash
# Makes a fresh Wine prefix for the tests, once: no Mono or Gecko offers, no
# window-manager stalls, and shell folders inside the prefix rather than $HOME.
set -e
prefix=${1:?prefix}
# A prefix holds a 32-bit half only when 32-bit Wine was there when it was
# made; one made without it is made again once 32-bit Wine is installed.
kind=64
[ -x /usr/lib/wine/wine ] && kind=wow64
ready() { [ "$(cat "$prefix/.test-prefix-ready" 2>/dev/null)" = "$kind" ]; }
ready && exit 0
mkdir -p "$prefix"
exec 9>"$prefix.lock"
flock 9
ready && exit 0
if [ -f "$prefix/.test-prefix-ready" ]; then
    WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
    rm -rf "$prefix"
    mkdir -p "$prefix"
fi
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
echo "$kind" >"$prefix/.test-prefix-ready"
