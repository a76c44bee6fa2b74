#!/usr/bin/env bash
# The unattended runs end to end under Wine, for the copy benchmark's two
# payloads laid out as media: setup.exe /S /D=... against the smallest program
# that copies the same files (its start-up included) and Linux cp -r, then
# uninstall.exe /S against cmd's rmdir /s /q of the same tree. Rounds alternate
# the order; best and median of each, and the ratios of the medians.
# Usage: bench/unattended_bench.sh [build dir]   (ROUNDS=9 for more rounds, default 5)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=bench/wine_bench.sh
. "$here/wine_bench.sh"
bench_start "${1:-}" 5 /tmp/brellic-unattended-bench media bare_copy
# shellcheck source=bench/payload.sh
. "$here/payload.sh"
wineserver -p 2>/dev/null || true  # one may be running already
trap 'wineserver -k 2>/dev/null || true' EXIT

# What setup copies under Wine (a current system with its own GDI+, media with
# reader and manual), media name and installed name; the three libraries stay on the media.
copied=("Scrivo.ex_" "Scrivo.exe" "readme.txt" "readme.txt" "uninstall.ex_" "uninstall.exe" "BRLXCJK.BIN" "BRLXCJK.BIN"
    "what's new.txt" "what's new.txt" "Known Issues.txt" "Known Issues.txt" "leafview.ex_" "leafview.exe"
    "scrivoguide.pdf" "scrivoguide.pdf")

winpath() { echo "Z:${1//\//\\}"; }
ms() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.1f", (b - a) / 1000 }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
best() { printf '%s\n' "$@" | sort -g | head -n 1; }

# Runs a command with nothing on its input; sets took (ms), code, and leaves its output in $work/out.
# The disk gets the earlier copies' data first: setup's install record flushes,
# and a flush would otherwise wait for what the other measures left unwritten.
timed() {
    sync
    local start=${EPOCHREALTIME/./}
    code=0
    "$@" </dev/null >"$work/out" 2>&1 || code=$?
    took=$(ms "$start" "${EPOCHREALTIME/./}")
}

# The payload under the names setup copies: the data file as BRLXCJK.BIN, two
# libraries each behind the editor's and the reader's program (they keep their
# version resources), the modules as the manual, the pages as the three documents.
lay_out_media() {  # payload folder, media folder
    local payload=$1 media=$2
    rm -rf "$media" && mkdir -p "$media"
    cp "$build"/media/* "$media/"
    cp "$payload/data.bin" "$media/BRLXCJK.BIN"
    cat "$build/media/Scrivo.ex_" "$payload/library1.dll" "$payload/library2.dll" >"$media/Scrivo.ex_"
    cat "$build/media/leafview.ex_" "$payload/library3.dll" "$payload/library4.dll" >"$media/leafview.ex_"
    cat "$payload"/module{1..40}.dll >"$media/scrivoguide.pdf"
    cat "$payload"/page{1..67}.txt >"$media/readme.txt"
    cat "$payload"/page{68..134}.txt >"$media/what's new.txt"
    cat "$payload"/page{135..200}.txt >"$media/Known Issues.txt"
}

# The same installation without the Start-menu group and desktop link, for where
# setup's own time goes; removed again untimed.
setup_without_links() {
    timed timeout 300 "$wine" "$media/setup.exe" /S /NODESKTOP /NOSTARTMENU "/D=$(winpath "$installed")"
    [ "$code" -eq 0 ] && nolinks_t+=("$took")
    "$wine" "$installed/uninstall.exe" /S >/dev/null 2>&1 || true
    [ ! -e "$installed" ] || clean_installation
}

mkdir -p "$work"
clean_installation
printf '%-7s %5s %-26s %10s %10s\n' payload files measure best median
for size in 30 400; do
    payload=/tmp/brellic-bench/payload-$size
    make_payload "$payload" "$size"
    media=$work/media-$size
    lay_out_media "$payload" "$media"
    rm -rf "$work/tree" && mkdir -p "$work/tree"
    for ((i = 0; i < ${#copied[@]}; i += 2)); do ln "$media/${copied[i]}" "$work/tree/${copied[i + 1]}"; done
    mib=$(du -sm --apparent-size "$work/tree" | cut -f1)
    setup_t=() nolinks_t=() loop_t=() inner_t=() noop_t=() cp_t=() uninstall_t=() rmdir_t=() failed=0
    for round in $(seq 1 "$rounds"); do
        rm -rf "$work/bare" "$work/cp" "$work/rmtree"
        [ $((round % 2)) -eq 1 ] && setup_without_links
        order=(setup loop cp)
        [ $((round % 2)) -eq 0 ] && order=(cp loop setup)
        for which in "${order[@]}"; do
            case $which in
            setup)
                timed timeout 300 "$wine" "$media/setup.exe" /S "/D=$(winpath "$installed")"
                setup_code=$code setup_t+=("$took")
                ;;
            loop)
                timed timeout 300 "$wine" "$build/bench/bare_copy.exe" "$(winpath "$media")" "$(winpath "$work/bare")" \
                    "${copied[@]}"
                [ "$code" -eq 0 ] || { echo "bare_copy failed: $(cat "$work/out")"; exit 1; }
                loop_t+=("$took") inner_t+=("$(awk '/^loop_ms/ { print $2 }' "$work/out")")
                ;;
            cp)
                timed cp -r "$work/tree" "$work/cp"
                cp_t+=("$took")
                ;;
            esac
        done
        timed timeout 300 "$wine" "$build/bench/bare_copy.exe"
        noop_t+=("$took")
        if [ "$setup_code" -ne 0 ] || ! cmp -s "$media/Scrivo.ex_" "$installed/Scrivo.exe"; then
            echo "round $round: setup.exe /S ended with $setup_code without the editor installed"
            clean_installation
            failed=$((failed + 1))
            continue
        fi
        cp -r "$installed" "$work/rmtree"
        uninstall_code=0
        order=(uninstall rmdir)
        [ $((round % 2)) -eq 0 ] && order=(rmdir uninstall)
        for which in "${order[@]}"; do
            if [ "$which" = uninstall ]; then
                timed timeout 300 "$wine" "$installed/uninstall.exe" /S
                uninstall_code=$code uninstall_t+=("$took")
            else
                timed timeout 300 "$wine" cmd /c rmdir /s /q "$(winpath "$work/rmtree")"
                rmdir_t+=("$took")
            fi
        done
        if [ "$uninstall_code" -ne 0 ] || [ -e "$installed" ] || [ -e "$work/rmtree" ]; then
            echo "round $round: uninstall.exe /S ended with $uninstall_code, or a tree was left behind"
            clean_installation
            rm -rf "$work/rmtree"
            failed=$((failed + 1))
        fi
        [ $((round % 2)) -eq 0 ] && setup_without_links
    done
    row() { printf '%-7s %5s %-26s %7s ms %7s ms\n' "${size}MiB" "$((${#copied[@]} / 2))" "$1" "$(best "${@:2}")" "$(median "${@:2}")"; }
    row "setup.exe /S /D=" "${setup_t[@]}"
    row "  without links" "${nolinks_t[@]}"
    row "bare_copy.exe, end to end" "${loop_t[@]}"
    row "  its CopyFileA loop" "${inner_t[@]}"
    row "  no-op start-up" "${noop_t[@]}"
    row "cp -r" "${cp_t[@]}"
    if [ ${#uninstall_t[@]} -gt 0 ]; then
        row "uninstall.exe /S" "${uninstall_t[@]}"
        row "cmd /c rmdir /s /q" "${rmdir_t[@]}"
    fi
    s=$(median "${setup_t[@]}") l=$(median "${loop_t[@]}") c=$(median "${cp_t[@]}")
    echo "  ${mib} MiB copied; medians: setup/bare_copy $(ratio "$s" "$l") (goal 1.2)," \
        "setup/cp $(ratio "$s" "$c"), bare_copy/cp $(ratio "$l" "$c")"
    if [ ${#uninstall_t[@]} -gt 0 ]; then
        echo "  medians: uninstall/rmdir $(ratio "$(median "${uninstall_t[@]}")" "$(median "${rmdir_t[@]}")") (goal 2)"
    fi
    [ "$failed" -eq 0 ] || echo "  $failed of $rounds rounds failed"
    rm -rf "$work/bare" "$work/cp" "$work/tree" "$media"
done
