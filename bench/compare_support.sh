# What the comparisons with the iconv command share; sourced, not run.

# Writes 64 MiB of KOI8-R text to $1: the bundled sample, doubled until it
# is large enough.
make_input() {
    local in=$1 root
    root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
    cp "$root/docs/samples/sample.koi8-r.txt" "$in"
    while [ "$(stat -c %s "$in")" -lt $((64 << 20)) ]; do
        cat "$in" "$in" >"$in.twice"
        mv "$in.twice" "$in"
    done
    truncate -s $((64 << 20)) "$in"
    sync  # the new input's pages are on disk, not still being written
}

# Best wall time of seven runs of "$@" writing $1, in seconds. Each run
# writes a new file: removing the last one, which costs as much as writing
# it, happens outside the timing.
best() {
    local out=$1 best=999
    shift
    for _ in 1 2 3 4 5 6 7; do
        rm -f "$out"
        local start end
        start=$(date +%s.%N)
        "$@"
        end=$(date +%s.%N)
        best=$(awk -v a="$best" -v b="$end" -v c="$start" 'BEGIN { t = b - c; print (t < a ? t : a) }')
    done
    printf '%.3f' "$best"
}
