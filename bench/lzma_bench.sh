#!/usr/bin/env bash
# The download against a solid-LZMA installer of the same files, built with
# Debian's nsis package as a peer, on realistic media of about 60 MiB
# (bench/lzma_media.sh): sizes, the unattended installation's time (medians of
# ROUNDS, default 5, whole processes, the order alternating), the download's
# size on incompressible media, and the launcher's own size.
# Usage: bench/lzma_bench.sh [build dir]    (PACK_BLOCK_MIB=n packs other blocks)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=bench/wine_bench.sh
. "$here/wine_bench.sh"
bench_start "${1:-}" 5 /tmp/brellic-lzma-bench download
command -v makensis >/dev/null || { apt-get update -qq && apt-get install -y -qq nsis >/dev/null; }
version=$(sed -n 's/^EDITOR_VERSION:STRING=//p' "$build/CMakeCache.txt")
# shellcheck source=bench/lzma_media.sh
source "$here/lzma_media.sh"

winpath() { echo "Z:${1//\//\\}"; }
ms_now() { date +%s%N | cut -c1-13; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", a / b }'; }
bytes() { stat -c %s "$@" | awk '{ s += $1 } END { print s }'; }
median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

media=$work/media
make_realistic_media "$build" "$media"
bash "$here/../scripts/release.sh" "$build" "$version" "$build/launcher.exe" "" "$media" "$work/release" 2>&1 |
    sed 's/^/  /'
download=$(echo "$work/release"/Pagewright-*-setup.exe)

# The peer: every media file, solid LZMA, installed silently into /D=.
peer=$work/peer/peer.exe
if [ ! -f "$peer" ] || [ -n "$(find "$media" -newer "$peer" -print -quit)" ]; then
    rm -rf "$work/peer" && mkdir -p "$work/peer/media"
    find "$media" -maxdepth 1 -type f ! -name '.*' -exec cp {} "$work/peer/media/" \;
    cat >"$work/peer/peer.nsi" <<'NSI'
SetCompressor /SOLID lzma
Name "Peer"
OutFile "peer.exe"
InstallDir "$TEMP\peer"
RequestExecutionLevel admin
Section
SetOutPath "$INSTDIR"
File /r "media\*"
SectionEnd
NSI
    (cd "$work/peer" && makensis -V1 peer.nsi >/dev/null)
fi

# The installation removed as a person would, and whatever it left.
remove_installation() {
    [ -x "$installed/uninstall.exe" ] && "$wine" "$installed/uninstall.exe" /S >/dev/null 2>&1 || true
    clean_installation
}

# One unattended installation into a new folder, whole process, in ms.
install_ms() {  # program
    local start took code=0
    remove_installation
    sync
    start=$(ms_now)
    timeout 300 "$wine" "$1" /S "/D=$(winpath "$installed")" </dev/null >/dev/null 2>&1 || code=$?
    took=$(($(ms_now) - start))
    [ "$code" -eq 0 ] || { echo "$1 ended with $code" >&2; exit 1; }
    echo "$took"
}

ours=() theirs=()
for round in $(seq 1 "$rounds"); do
    if [ $((round % 2)) -eq 1 ]; then
        ours+=("$(install_ms "$download")") theirs+=("$(install_ms "$peer")")
    else
        theirs+=("$(install_ms "$peer")") ours+=("$(install_ms "$download")")
    fi
done
cmp -s "$media/leafview.ex_" "$installed/leafview.ex_" || { echo "the peer did not install the files"; exit 1; }
remove_installation
# The download must have installed the same bytes.
"$wine" "$download" /S "/D=$(winpath "$installed")" </dev/null >/dev/null 2>&1
cmp -s "$media/leafview.ex_" "$installed/leafview.exe" || { echo "the download installed other bytes"; exit 1; }
remove_installation

# Incompressible media of the same size: the product's files and random data.
random=$work/media-random
if [ ! -f "$random/.complete" ]; then
    rm -rf "$random" && mkdir -p "$random"
    cp "$build"/media/* "$random/"
    head -c 42M /dev/urandom >"$random/BRLXCJK.BIN"
    head -c 18M /dev/urandom >"$random/scrivoguide.pdf"
    touch "$random/.complete"
fi
refresh_product_programs "$build" "$random"
bash "$here/../scripts/release.sh" "$build" "$version" "$build/launcher.exe" "" "$random" "$work/release-random" \
    >/dev/null 2>&1
random_download=$(echo "$work/release-random"/Pagewright-*-setup.exe)

media_bytes=$(find "$media" -maxdepth 1 -type f ! -name '.*' -printf '%s\n' | awk '{ s += $1 } END { print s }')
random_bytes=$(find "$random" -maxdepth 1 -type f ! -name '.*' -printf '%s\n' | awk '{ s += $1 } END { print s }')
echo "media: $media_bytes bytes in $(find "$media" -maxdepth 1 -type f ! -name '.*' | wc -l) files"
echo "size: download $(bytes "$download"), peer $(bytes "$peer"), ratio $(ratio "$(bytes "$download")" "$(bytes "$peer")")" \
    "(goal <= 0.95)"
echo "time, /S /D= (ms): download ${ours[*]}; peer ${theirs[*]}"
echo "time: medians $(median "${ours[@]}") ms and $(median "${theirs[@]}") ms, ratio" \
    "$(ratio "$(median "${ours[@]}")" "$(median "${theirs[@]}")") (goal <= 0.6)"
allowed=$((random_bytes / 100 + 102400))
over=$(($(bytes "$random_download") - random_bytes))
echo "incompressible: media $random_bytes, download $(bytes "$random_download"), over by $over bytes" \
    "(goal <= $allowed)"
echo "launcher: $(bytes "$build/launcher.exe") bytes (goal <= 98304)"
