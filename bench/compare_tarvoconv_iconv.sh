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

. "$root/bench/compare_support.sh"
make_input "$work/in"

# Like for like: both read a file and write standard output to a file.
t_tarvo=$(best "$work/out.tarvo" sh -c "'$tarvoconv' -f koi8-r -t cp1251 '$work/in' > '$work/out.tarvo'")
t_iconv=$(best "$work/out.iconv" sh -c "iconv -f KOI8-R -t CP1251 '$work/in' > '$work/out.iconv'")
cmp -s "$work/out.tarvo" "$work/out.iconv" && same=yes || same=NO
t_tarvo_n=$(best "$work/out.tarvo" sh -c "'$tarvoconv' -f koi8-r -t cp1251 -n '$work/in' > '$work/out.tarvo'")
# With -o, tarvoconv also syncs a temporary file to disk and renames it
# into place.
t_tarvo_f=$(best "$work/out.tarvo" "$tarvoconv" -f koi8-r -t cp1251 -o "$work/out.tarvo" "$work/in")

echo "input: 64 MiB of KOI8-R text, KOI8-R -> cp1251, best of 7, each into a new file"
awk -v t="$t_tarvo" -v n="$t_tarvo_n" -v f="$t_tarvo_f" -v i="$t_iconv" -v same="$same" 'BEGIN {
    printf "tarvoconv > file           %7.3f s  %6.0f MiB/s\n", t, 64 / t
    printf "tarvoconv -n > file        %7.3f s  %6.0f MiB/s\n", n, 64 / n
    printf "tarvoconv -o OUT (synced)  %7.3f s  %6.0f MiB/s\n", f, 64 / f
    printf "iconv > file               %7.3f s  %6.0f MiB/s\n", i, 64 / i
    printf "tarvoconv is %.1f times as fast as iconv; same output: %s\n", i / t, same
}' 
[ "$same" = yes ]
