# shellcheck shell=bash
# Realistic media of about 60 MiB from files on the build machine, sourced by
# lzma_bench.sh: real program code without debug sections (Wine's Windows
# libraries, both widths, stripped), font files, already-compressed documents
# and plain text. Setup installs the catalogue's names only, so the bytes
# travel under those names, each program behind the stand-in's own headers
# and version resource (setup reads the editor's version).
# Usage: make_realistic_media <build dir> <media folder>
make_realistic_media() {
    local build=$1 media=$2 tmp
    if [ -f "$media/.complete" ]; then
        refresh_product_programs "$build" "$media"
        return
    fi
    rm -rf "$media" && mkdir -p "$media"
    cp "$build"/media/* "$media/"
    tmp=$(mktemp -d)
    # Libraries in name order up to a size, stripped as a release strips them.
    take() {  # folder, strip tool, KiB, out
        local total=0 f size
        : >"$4"
        for f in $(find "$1" -maxdepth 1 -type f -name '*.dll' -size +40k | LC_ALL=C sort); do
            cp "$f" "$tmp/lib" && "$2" --strip-debug "$tmp/lib" 2>/dev/null || continue
            size=$(stat -c %s "$tmp/lib")
            cat "$tmp/lib" >>"$4"
            total=$((total + size))
            [ $total -ge $(($3 * 1024)) ] && break
        done
    }
    take /usr/lib/x86_64-linux-gnu/wine/x86_64-windows x86_64-w64-mingw32-strip 22528 "$tmp/x64"
    take /usr/lib/i386-linux-gnu/wine/i386-windows i686-w64-mingw32-strip 14336 "$tmp/x86"
    cat "$build/media/Scrivo.ex_" "$tmp/x64" >"$media/Scrivo.ex_"
    cat "$build/media/leafview.ex_" "$tmp/x86" >"$media/leafview.ex_"
    # Fonts, then documents that are compressed already.
    find /usr/share/fonts -type f \( -name '*.ttf' -o -name '*.otf' \) -print0 | LC_ALL=C sort -z |
        xargs -0 cat | head -c 10M >"$media/BRLXCJK.BIN"
    find /usr/share/doc -type f \( -name '*.gz' -o -name '*.png' -o -name '*.pdf' \) -size +2k -print0 |
        LC_ALL=C sort -z | xargs -0 cat | head -c 12M >"$media/scrivoguide.pdf"
    # Plain text: licences and change notes.
    find /usr/share/doc /usr/share/common-licenses -type f \( -name 'copyright' -o -name '*.txt' \) -print0 |
        LC_ALL=C sort -z | xargs -0 cat | head -c 2M >"$tmp/text"
    head -c 700K "$tmp/text" >"$media/readme.txt"
    tail -c +700001 "$tmp/text" | head -c 700K >"$media/what's new.txt"
    tail -c +1400001 "$tmp/text" >"$media/Known Issues.txt"
    rm -rf "$tmp"
    touch "$media/.complete"
}

# The product's own programs, from the build whenever it made newer ones (the
# media are kept between runs, and signed in place).
# Usage: refresh_product_programs <build dir> <media folder>
refresh_product_programs() {
    cp -u "$1"/media/setup.exe "$1"/media/uninstall.ex_ "$1"/media/*.dl_ "$2/"
}
