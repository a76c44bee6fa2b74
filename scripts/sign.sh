#!/usr/bin/env bash
# Signs Windows programs in place: scripts/sign.sh <build-dir> <file>...
# With the maker's certificate when SIGN_PKCS12 (a PKCS#12 file) and
# SIGN_PASSWORD (its password) are set, and a time stamp from SIGN_TIMESTAMP_URL
# when that is set too. Without them, with a throw-away test certificate made
# once per build tree under <build-dir>/signing (test-ca.pem verifies it), so
# that every build and test run goes through signing.
set -euo pipefail
build=$1
shift

if [ -n "${SIGN_PKCS12:-}" ]; then
    pkcs12=$SIGN_PKCS12
    password=${SIGN_PASSWORD:-}
else
    dir=$build/signing
    pkcs12=$dir/codesign.p12
    password=test-only
    if [ ! -f "$pkcs12" ]; then
        # Made aside and moved in whole, so a build running beside this one never sees half of it.
        work=$(mktemp -d "$build/signing.XXXXXX")
        trap 'rm -rf "$work"' EXIT
        openssl req -x509 -newkey rsa:2048 -nodes -days 3650 -keyout "$work/test-ca.key" -out "$work/test-ca.pem" \
            -subj "/CN=Brellic Software Test Signing CA" -addext "basicConstraints=critical,CA:TRUE" \
            -addext "keyUsage=critical,keyCertSign,cRLSign" 2>/dev/null
        openssl req -newkey rsa:2048 -nodes -keyout "$work/codesign.key" -out "$work/codesign.csr" \
            -subj "/CN=Brellic Software (test signing only)" 2>/dev/null
        printf 'basicConstraints=CA:FALSE\nkeyUsage=critical,digitalSignature\nextendedKeyUsage=codeSigning\n' \
            >"$work/codesign.ext"
        openssl x509 -req -in "$work/codesign.csr" -CA "$work/test-ca.pem" -CAkey "$work/test-ca.key" \
            -CAcreateserial -days 3650 -extfile "$work/codesign.ext" -out "$work/codesign.pem" 2>/dev/null
        openssl pkcs12 -export -inkey "$work/codesign.key" -in "$work/codesign.pem" -certfile "$work/test-ca.pem" \
            -passout "pass:$password" -out "$work/codesign.p12"
        rm -f "$work/test-ca.key" "$work/codesign.csr"
        mkdir -p "$dir"
        mv "$work/test-ca.pem" "$work/codesign.pem" "$work/codesign.key" "$dir/"
        mv "$work/codesign.p12" "$pkcs12"
    fi
fi

timestamp=()
[ -n "${SIGN_TIMESTAMP_URL:-}" ] && timestamp=(-ts "$SIGN_TIMESTAMP_URL")
# A fixed signing time makes the same file sign to the same bytes, so the media's
# sums stay true when a build signs them again: the test certificate's own time,
# or SOURCE_DATE_EPOCH for a reproducible release.
signing_time=()
if [ -n "${SOURCE_DATE_EPOCH:-}" ]; then
    signing_time=(-time "$SOURCE_DATE_EPOCH")
elif [ -z "${SIGN_PKCS12:-}" ]; then
    signing_time=(-time "$(stat -c %Y "$pkcs12")")
fi

for file in "$@"; do
    # A file signed by an earlier run over the same build is signed afresh, not twice.
    if osslsigncode extract-signature -in "$file" -out "$file.oldsig" >/dev/null 2>&1; then
        osslsigncode remove-signature -in "$file" -out "$file.unsigned" >/dev/null
        mv "$file.unsigned" "$file"
    fi
    rm -f "$file.oldsig"
    # The password goes through a pipe, never on a command line others can read.
    osslsigncode sign -pkcs12 "$pkcs12" -readpass <(printf '%s' "$password") -h sha256 \
        -n "Brellic Pagewright" "${timestamp[@]}" "${signing_time[@]}" -in "$file" -out "$file.signed" >/dev/null
    mv "$file.signed" "$file"
done
