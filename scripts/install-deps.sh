#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when missing.
# Everything, 32-bit Wine included, is in place before the first Wine prefix is
# made: a prefix made without the 32-bit half cannot start 32-bit programs later.
set -euo pipefail
cd "$(dirname "$0")/.."
packages=(cmake make g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 g++-mingw-w64-i686-posix
          binutils-mingw-w64-i686 mingw-w64-tools googletest
          wine wine64 xvfb xauth imagemagick liblnk-utils python3 python3-jsonschema python3-yaml
          g++ lzma-dev osslsigncode openssl zip)
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
if scripts/runs-32bit.sh; then
    packages+=(wine32:i386)
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        $sudo dpkg --add-architecture i386
    fi
fi
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
