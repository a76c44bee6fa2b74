#!/usr/bin/env bash
# Makes what a maker publishes, in <build-dir>/release:
#   Pagewright-<version>-setup<suffix>.exe  the launcher with the signed media appended
#   Pagewright-<version>-media<suffix>.zip  the signed media folder
#   SHA256SUMS                              their sums, as sha256sum writes them
# Usage: scripts/release.sh <build-dir> <version> <launcher.exe> [suffix [media-dir out-dir]]
# (the media default to <build-dir>/media; the benchmark packs media of its own)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "$1" && pwd)
version=$2
launcher=$3
suffix=${4:-}
media=${5:-$build/media}
out=${6:-$build/release}
download=$out/Pagewright-$version-setup$suffix.exe
zipfile=$out/Pagewright-$version-media$suffix.zip

# The programs on the media are signed before anything is packed.
"$here/sign.sh" "$build" "$media/setup.exe" "$media/uninstall.ex_" "$media/Scrivo.ex_" "$media/leafview.ex_" \
    "$media"/*.dl_

rm -rf "$out"
mkdir -p "$out"
work=$(mktemp -d "$build/release-work.XXXXXX")
trap 'rm -rf "$work"' EXIT

# The cabinet and the list of sums that the launcher checks after unpacking.
# MSZIP, unless it does not make the cabinet at least 5 % smaller than the
# files: unpacking data that does not compress (archives, pictures) only costs
# the person time.
(cd "$media" && find . -maxdepth 1 -type f -printf '%f\n' | LC_ALL=C sort >"$work/names")
mapfile -t names <"$work/names"
(cd "$media" && gcab -c -z -n "$work/payload.cab" "${names[@]}")
plain=$(cd "$media" && stat -c %s -- "${names[@]}" | awk '{ s += $1 } END { print s }')
if [ "$(stat -c %s "$work/payload.cab")" -gt $((plain * 95 / 100)) ]; then
    (cd "$media" && gcab -c -n "$work/payload.cab" "${names[@]}")
fi
(cd "$media" && sha256sum -- "${names[@]}") >"$work/sums"

# Launcher, cabinet, list, zero padding to a multiple of 8, and the trailer
# (offset of the cabinet, its size, the list's size, magic) that lets the
# launcher find them; the signature then goes after it all. The SHA-256 of
# everything appended goes into the launcher behind its mark first, so that
# the signature covers it and the running launcher can check what it reads.
python3 - "$launcher" "$work/payload.cab" "$work/sums" "$download.unsigned" <<'PY'
import hashlib, struct, sys
launcher, cab, sums, target = sys.argv[1:]
program = bytearray(open(launcher, "rb").read())
cabinet = open(cab, "rb").read()
listing = open(sums, "rb").read()
padding = b"\0" * (-(len(program) + len(cabinet) + len(listing) + 32) % 8)
trailer = struct.pack("<QQQ8s", len(program), len(cabinet), len(listing), b"BRPWPAY1")
appended = cabinet + listing + padding + trailer
mark = b"BRPWDIG1"
at = program.find(mark)
if at < 0 or program.find(mark, at + 1) >= 0:
    sys.exit("the launcher must hold its digest mark exactly once")
program[at + 8:at + 40] = hashlib.sha256(appended).digest()
open(target, "wb").write(bytes(program) + appended)
PY
"$here/sign.sh" "$build" "$download.unsigned"
mv "$download.unsigned" "$download"

(cd "$media" && zip -q -X -D "$zipfile" -- "${names[@]}")
(cd "$out" && sha256sum -- "$(basename "$download")" "$(basename "$zipfile")" >SHA256SUMS)
