# shellcheck shell=bash
# The benchmarks' payload, sourced by the scripts beside it: a mix like the
# product's media, one large archive, a few libraries, many small documents.
make_payload() {  # folder, MiB
    local dir=$1 total=$(($2 * 1024)) i
    [ -f "$dir/.complete" ] && return
    rm -rf "$dir" && mkdir -p "$dir"
    head -c $((total * 40 / 100))K /dev/urandom >"$dir/data.bin"
    for i in 1 2 3 4; do head -c $((total * 10 / 100))K /dev/urandom >"$dir/library$i.dll"; done
    for i in $(seq 1 40); do head -c $((total * 15 / 100 / 40))K /dev/urandom >"$dir/module$i.dll"; done
    for i in $(seq 1 200); do head -c $((4 + (i * 37) % 60))K /dev/urandom >"$dir/page$i.txt"; done
    touch "$dir/.complete"
}
