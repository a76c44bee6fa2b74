#!/usr/bin/env bash
# The download's unattended installation against the media's, for media of about
# 30 MiB and about 400 MiB, and the download's size overhead.
# Usage: bench/download_bench.sh [build dir]   (ROUNDS=5 for more rounds, default 3)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=bench/wine_bench.sh
. "$here/wine_bench.sh"
bench_start "${1:-}" 3 /tmp/brellic-download-bench download
version=$(sed -n 's/^EDITOR_VERSION:STRING=//p' "$build/CMakeCache.txt")

winpath() { echo "Z:${1//\//\\}"; }
ms_now() { date +%s%N | cut -c1-13; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", a / b }'; }
bytes() { stat -c %s "$@" | awk '{ s += $1 } END { print s }'; }

echo "Size: launcher program $(bytes "$build/launcher.exe") bytes; media $(bytes "$build"/media/*) bytes," \
    "their ZIP $(bytes "$build"/release/Pagewright-*-media*.zip), the download" \
    "$(bytes "$build"/release/Pagewright-*-setup*.exe)"

# One unattended installation into a new folder, in ms; removed again afterwards.
# Setup without its unattended switches shows the wizard instead: that counts as -1.
install_ms() {  # program, destination
    local start took code=0
    # Each run starts with nothing left unwritten by the one before.
    sync
    start=$(ms_now)
    timeout 300 "$wine" "$1" /S "/D=$(winpath "$2")" </dev/null >/dev/null 2>&1 || code=$?
    took=$(($(ms_now) - start))
    "$wine" reg delete 'HKLM\Software\Brellic Software\Pagewright' /f >/dev/null 2>&1 || true
    rm -rf "$2"
    [ "$code" -eq 0 ] && echo "$took" || echo -1
}

# Started with "/S /?", setup ends at once: what the download adds on its own
# (unpacking, checking, starting setup, removing the folder), in ms.
unpack_ms() {  # program
    local start
    sync
    start=$(ms_now)
    timeout 300 "$wine" "$1" /S /? </dev/null >/dev/null 2>&1 || true
    echo $(($(ms_now) - start))
}

printf '%-8s %12s %12s %16s %22s\n' payload download media "download/media" "unpacking alone (/S /?)"
for size in 30 400; do
    # The product's media with its data file and guide grown to the size (random, so incompressible).
    media=$work/media-$size
    if [ ! -f "$media.complete" ]; then
        rm -rf "$media" && mkdir -p "$media"
        cp "$build"/media/* "$media/"
        head -c $((size * 1024 * 70 / 100))K /dev/urandom >"$media/BRLXCJK.BIN"
        head -c $((size * 1024 * 30 / 100))K /dev/urandom >"$media/scrivoguide.pdf"
        touch "$media.complete"
    fi
    bash "$here/../scripts/release.sh" "$build" "$version" "$build/launcher.exe" "" "$media" "$work/release-$size"
    download=$(echo "$work/release-$size"/Pagewright-*-setup.exe)
    best_download= best_media= best_unpack=
    for _ in $(seq 1 "$rounds"); do
        took=$(($(unpack_ms "$download") - $(unpack_ms "$media/setup.exe")))
        if [ -z "$best_unpack" ] || [ "$took" -lt "$best_unpack" ]; then best_unpack=$took; fi
        for which in download media; do
            if [ $which = download ]; then took=$(install_ms "$download" "$installed"); else
                took=$(install_ms "$media/setup.exe" "$installed"); fi
            if [ "$took" -lt 0 ]; then
                echo "setup.exe did not finish an unattended installation (/S): nothing to compare yet"
                exit 1
            fi
            best=best_$which
            if [ -z "${!best}" ] || [ "$took" -lt "${!best}" ]; then printf -v "$best" %s "$took"; fi
        done
    done
    printf '%-8s %9s ms %9s ms %16s %19s ms\n' "${size}MiB" "$best_download" "$best_media" \
        "$(ratio "$best_download" "$best_media")" "$best_unpack"
done
