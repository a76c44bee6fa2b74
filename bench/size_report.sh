#!/usr/bin/env bash
# Sizes of the two programs: the file, and its code and data without resources.
set -euo pipefail
cd "$(dirname "$0")/.."
[ -f build/setup.exe ] || scripts/build.sh >/dev/null
objdump=${OBJDUMP:-x86_64-w64-mingw32-objdump}
report() {
    local file=$1 limit=$2
    local total code
    total=$(stat -c %s "$file")
    # Sum of the raw sizes of every section but the resources.
    code=0
    while read -r size; do code=$((code + 16#$size)); done < <($objdump -h "$file" | awk '$2 ~ /^\./ && $2 != ".rsrc" { print $3 }')
    printf '%-14s file %7d bytes (%4d KiB)   code+data without resources %7d bytes (%4d KiB, goal under %d KiB)\n' \
        "$(basename "$file")" "$total" $((total / 1024)) "$code" $((code / 1024)) "$limit"
}
report build/setup.exe 256
report build/uninstall.exe 200
echo "setup.exe with its art: goal under 640 KiB"
