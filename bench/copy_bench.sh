#!/usr/bin/env bash
# Measures the installer's copy phase against a bare CopyFileA loop that flushes
# every file the same way, and against one that does not (all under Wine, one
# run of copy_bench.exe), and Linux cp of the same files, for a payload of about
# 30 MiB and one of about 400 MiB. Usage: bench/copy_bench.sh [build dir]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=bench/wine_bench.sh
. "$here/wine_bench.sh"
bench_start "${1:-}" 3 /tmp/brellic-bench copy_bench

# shellcheck source=bench/payload.sh
. "$here/payload.sh"

winpath() { echo "Z:${1//\//\\}"; }
ms_now() { date +%s%N | cut -c1-13; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", a / b }'; }

printf '%-8s %6s %10s %12s %10s %8s %22s %18s %15s\n' payload files copy_phase flushed_bare bare_loop cp \
    "copy_phase/flushed" "flushed/bare" "bare/cp"
rollbacks=
for size in 30 400; do
    payload=$work/payload-$size
    make_payload "$payload" $size
    out=$("$wine" "$build/bench/copy_bench.exe" "$(winpath "$payload")" "$(winpath "$work/out-$size")" "$rounds")
    files=$(awk '/^files/ {print $2}' <<<"$out")
    ours=$(awk '/^installer_ms/ {print $2}' <<<"$out")
    bare=$(awk '/^bare_ms/ {print $2}' <<<"$out")
    durable=$(awk '/^durable_ms/ {print $2}' <<<"$out")
    rollbacks="$rollbacks ${size}MiB: $(awk '/^rollback_ms/ {print $2}' <<<"$out") ms;"
    best_cp=
    for _ in $(seq 1 "$rounds"); do
        rm -rf "$work/cp-$size" && mkdir -p "$work/cp-$size"
        start=$(ms_now)
        cp "$payload"/* "$work/cp-$size/"
        took=$(($(ms_now) - start))
        if [ -z "$best_cp" ] || [ "$took" -lt "$best_cp" ]; then best_cp=$took; fi
    done
    rm -rf "$work/cp-$size" "$work/out-$size"
    printf '%-8s %6s %8s ms %10s ms %8s ms %5s ms %22s %18s %15s\n' "${size}MiB" "$files" "$ours" "$durable" "$bare" \
        "$best_cp" "$(ratio "$ours" "$durable")" "$(ratio "$durable" "$bare")" "$(ratio "$bare" "$best_cp")"
    awk -v r="$(ratio "$ours" "$durable")" 'BEGIN { if (r > 1.1) print "  copy phase exceeds 1.1 x the flushed bare loop" }'
done
echo "rollback of a reinstallation over the same files:$rollbacks"
