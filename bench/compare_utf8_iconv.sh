#!/usr/bin/env bash
# Times tarvoconv against the iconv command writing UTF-8 (and reading it
# back) on the same 64 MiB of KOI8-R text, side by side in one run, best of
# seven each, and checks that both wrote the same. The UTF-8 bytes
# themselves, copied by cat, show what writing them costs.
#   bench/compare_utf8_iconv.sh [build dir]
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
tarvoconv=$build/cli/tarvoconv
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

. "$root/bench/compare_support.sh"
make_input "$work/in"
iconv -f KOI8-R -t UTF-8 "$work/in" >"$work/utf8"
sync

# Like for like: both read a file and write standard output to a file, or
# to /dev/null, where only reading and converting count.
t_tarvo=$(best "$work/out.tarvo" sh -c "'$tarvoconv' -f koi8-r -t utf-8 '$work/in' > '$work/out.tarvo'")
t_iconv=$(best "$work/out.iconv" sh -c "iconv -f KOI8-R -t UTF-8 '$work/in' > '$work/out.iconv'")
cmp -s "$work/out.tarvo" "$work/out.iconv" && same=yes || same=NO
t_cat=$(best "$work/out.cat" sh -c "cat '$work/utf8' > '$work/out.cat'")
t_tarvo_null=$(best "$work/none" sh -c "'$tarvoconv' -f koi8-r -t utf-8 '$work/in' > /dev/null")
t_iconv_null=$(best "$work/none" sh -c "iconv -f KOI8-R -t UTF-8 '$work/in' > /dev/null")
t_tarvo_16=$(best "$work/out.tarvo" sh -c "'$tarvoconv' -n -f koi8-r -t utf-16 '$work/in' > '$work/out.tarvo'")
t_tarvo_back=$(best "$work/out.tarvo" sh -c "'$tarvoconv' -f utf-8 -t cp1251 '$work/utf8' > '$work/out.tarvo'")
t_iconv_back=$(best "$work/out.iconv" sh -c "iconv -f UTF-8 -t CP1251 '$work/utf8' > '$work/out.iconv'")
cmp -s "$work/out.tarvo" "$work/out.iconv" && same_back=yes || same_back=NO

mib=$(awk -v s="$(stat -c %s "$work/utf8")" 'BEGIN { printf "%.0f", s / 1048576 }')
echo "input: 64 MiB of KOI8-R text ($mib MiB in UTF-8), best of 7, each into a new file"
awk -v t="$t_tarvo" -v i="$t_iconv" -v c="$t_cat" -v tn="$t_tarvo_null" -v in_="$t_iconv_null" \
    -v u="$t_tarvo_16" -v tb="$t_tarvo_back" -v ib="$t_iconv_back" -v mib="$mib" \
    -v same="$same" -v same_back="$same_back" 'BEGIN {
    printf "KOI8-R -> UTF-8   tarvoconv > file          %7.3f s  %6.0f MiB/s\n", t, 64 / t
    printf "KOI8-R -> UTF-8   iconv > file              %7.3f s  %6.0f MiB/s\n", i, 64 / i
    printf "the UTF-8 bytes   cat > file                %7.3f s\n", c
    printf "KOI8-R -> UTF-8   tarvoconv > /dev/null     %7.3f s  %6.0f MiB/s\n", tn, 64 / tn
    printf "KOI8-R -> UTF-8   iconv > /dev/null         %7.3f s  %6.0f MiB/s\n", in_, 64 / in_
    printf "KOI8-R -> UTF-16  tarvoconv -n > file       %7.3f s  %6.0f MiB/s\n", u, 64 / u
    printf "UTF-8 -> cp1251   tarvoconv > file          %7.3f s  %6.0f MiB/s of UTF-8\n", tb, mib / tb
    printf "UTF-8 -> cp1251   iconv > file              %7.3f s  %6.0f MiB/s of UTF-8\n", ib, mib / ib
    printf "UTF-8 output: tarvoconv is %.1f times as fast as iconv to a file, %.1f times to /dev/null; same output: %s\n", i / t, in_ / tn, same
    printf "UTF-8 input: tarvoconv is %.1f times as fast as iconv; same output: %s\n", ib / tb, same_back
}'
[ "$same" = yes ] && [ "$same_back" = yes ]
