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

# The packer runs on the build machine, built here from the same sources as
# the launcher's reader (and again whenever one of them changed).
source=$(cd "$here/.." && pwd)
packer=$build/host/payload_packer
reader_sources=("$source"/launcher/{packed_payload,packed_payload_writer,branch_filter,branch_filter_encoder}.cpp
    "$source"/launcher/download_layout.cpp)
packer_sources=("$source"/tools/payload_packer/*.cpp "${reader_sources[@]}"
    "$source"/launcher/third_party/lzma/{LzmaEnc,LzFind,LzmaDec}.c)
if [ ! -x "$packer" ] || [ -n "$(find "${packer_sources[@]}" "$source"/launcher/*.h "$source"/tools/payload_packer/*.h \
    -newer "$packer" -print -quit)" ]; then
    mkdir -p "$build/host"
    objects=()
    for c in LzmaEnc LzFind LzmaDec; do
        cc -O2 -D_7ZIP_ST -w -c "$source/launcher/third_party/lzma/$c.c" -o "$build/host/$c.o"
        objects+=("$build/host/$c.o")
    done
    c++ -std=c++20 -O2 -pthread -I"$source" -o "$packer.new" "$source"/tools/payload_packer/*.cpp \
        "${reader_sources[@]}" "${objects[@]}"
    mv "$packer.new" "$packer"
fi

# The packed media and the list of sums that the launcher checks after unpacking.
# The packer chooses per file: compressed (program code filtered first) or
# stored, when compressing would save the person's time less than it costs.
(cd "$media" && find . -maxdepth 1 -type f ! -name '.*' -printf '%f\n' | LC_ALL=C sort >"$work/names")
mapfile -t names <"$work/names"
"$packer" "$work/payload.pack" "$media" "${names[@]}"
(cd "$media" && sha256sum -- "${names[@]}") >"$work/sums"

# Launcher, packed media, list, zero padding to a multiple of 8, and the trailer
# (offset of the packed media, their size, the list's size, magic) that lets the
# launcher find them; the signature then goes after it all. The SHA-256 of
# everything appended goes into the launcher behind its mark first, so that
# the signature covers it and the running launcher can check what it reads.
python3 - "$launcher" "$work/payload.pack" "$work/sums" "$download.unsigned" <<'PY'
import hashlib, struct, sys
launcher, packed, sums, target = sys.argv[1:]
program = bytearray(open(launcher, "rb").read())
media = open(packed, "rb").read()
listing = open(sums, "rb").read()
padding = b"\0" * (-(len(program) + len(media) + len(listing) + 32) % 8)
trailer = struct.pack("<QQQ8s", len(program), len(media), len(listing), b"BRPWPAY2")
appended = media + listing + padding + trailer
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
