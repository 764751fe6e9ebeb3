#!/usr/bin/env bash
# Times tarvoconv against the iconv command on the same 64 MiB of KOI8-R
# text, in one run, best of seven each, and checks that both wrote the same.
#   bench/compare_tarvoconv_iconv.sh [build dir]
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
tarvoconv=$build/cli/tarvoconv
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# 64 MiB: the bundled sample, doubled until it is large enough.
cp "$root/docs/samples/sample.koi8-r.txt" "$work/in"
while [ "$(stat -c %s "$work/in")" -lt $((64 << 20)) ]; do
    cat "$work/in" "$work/in" >"$work/twice"
    mv "$work/twice" "$work/in"
done
truncate -s $((64 << 20)) "$work/in"

sync  # the new input's pages are on disk, not still being written

# Best wall time of seven runs of "$@" writing $out, in seconds. Each run
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

# Like for like: both read a file and write standard output to a file.
t_tarvo=$(best "$work/out.tarvo" sh -c "'$tarvoconv' -f koi8-r -t cp1251 '$work/in' > '$work/out.tarvo'")
t_iconv=$(best "$work/out.iconv" sh -c "iconv -f KOI8-R -t CP1251 '$work/in' > '$work/out.iconv'")
cmp -s "$work/out.tarvo" "$work/out.iconv" && same=yes || same=NO
t_tarvo_n=$(best "$work/out.tarvo" sh -c "'$tarvoconv' -f koi8-r -t cp1251 -n '$work/in' > '$work/out.tarvo'")
# With OUTPUT named, tarvoconv also syncs a temporary file to disk and
# renames it into place.
t_tarvo_f=$(best "$work/out.tarvo" "$tarvoconv" -f koi8-r -t cp1251 "$work/in" "$work/out.tarvo")

echo "input: 64 MiB of KOI8-R text, KOI8-R -> cp1251, best of 7, each into a new file"
awk -v t="$t_tarvo" -v n="$t_tarvo_n" -v f="$t_tarvo_f" -v i="$t_iconv" -v same="$same" 'BEGIN {
    printf "tarvoconv > file           %7.3f s  %6.0f MiB/s\n", t, 64 / t
    printf "tarvoconv -n > file        %7.3f s  %6.0f MiB/s\n", n, 64 / n
    printf "tarvoconv IN OUT (synced)  %7.3f s  %6.0f MiB/s\n", f, 64 / f
    printf "iconv > file               %7.3f s  %6.0f MiB/s\n", i, 64 / i
    printf "tarvoconv is %.1f times as fast as iconv; same output: %s\n", i / t, same
}' 
[ "$same" = yes ]
