#!/usr/bin/env bash
# Every signed file verifies against the test certificate authority, and a
# copy with one byte changed does not. Usage: signatures.sh <build-dir>
set -uo pipefail
build=$1
ca=$build/signing/test-ca.pem
media=$build/media
status=0
verify() { osslsigncode verify -CAfile "$ca" -in "$1" >/dev/null 2>&1; }
for file in "$media/setup.exe" "$media/uninstall.ex_" "$media/Scrivo.ex_" "$media/leafview.ex_" "$media"/*.dl_ \
    "$build"/release/Pagewright-*-setup*.exe; do
    if ! verify "$file"; then
        echo "not signed, or the signature does not verify: $file"
        status=1
    fi
done
changed=$(mktemp)
trap 'rm -f "$changed"' EXIT
for file in "$media/setup.exe" "$build"/release/Pagewright-*-setup*.exe; do
    cp "$file" "$changed"
    # One byte in the middle: program code on the media, packed media in the download.
    offset=$(($(stat -c %s "$file") / 2))
    printf '\x5a' | dd of="$changed" bs=1 seek="$offset" conv=notrunc status=none
    cmp -s "$file" "$changed" && { printf '\x5b' | dd of="$changed" bs=1 seek="$offset" conv=notrunc status=none; }
    if verify "$changed"; then
        echo "a changed copy still verifies: $file"
        status=1
    fi
done
exit $status
