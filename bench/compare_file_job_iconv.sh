#!/usr/bin/env bash
# The real window's file job under Wine against the iconv command on the
# host, and beside them tarvoconv.exe converting in place, on the same
# 512 MiB of KOI8-R text, side by side in one run (they take turns, best of
# three each); then the job's peak memory at 1 MiB and at 1 GiB, the
# largest gap between two repaints during a 1 GiB job, and how soon the
# window is idle again after Esc.
#   bench/compare_file_job_iconv.sh [build dir]
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
bench=$build/win32/bench/file_job_bench.exe
rig=$root/scripts/wine-rig.sh
[ -f "$bench" ] || { echo "no $bench: build first" >&2; exit 1; }

# The files lie beside the build, on the disk a user's files would be on.
work=$(mktemp -d "$build/file-job-bench.XXXXXX")
rig_was_up=0
[ -f "$build/wine-rig/state" ] && rig_was_up=1
"$rig" start "$build" >/dev/null
cleanup() {
    rm -rf "$work"
    [ $rig_was_up -eq 1 ] || "$rig" stop "$build"
}
trap cleanup EXIT

winpath() {  # the path as Wine shows the host's root: drive Z:
    local path="Z:$1"
    echo "${path//\//\\}"
}
job() {  # job FILE [damage] [cancel MS]: the bench's report
    "$rig" run "$build" "$bench" "$(winpath "$1")" "${@:2}"
}
field() {  # field NAME REPORT: the number that follows NAME
    sed -n "s/.*$1 \([0-9.]*\).*/\1/p" <<<"$2" | head -n 1
}

# 512 MiB: the bundled sample, repeated.
sample=$root/docs/samples/sample.koi8-r.txt
for _ in $(seq 4096); do cat "$sample"; done >"$work/piece"
for _ in $(seq 512); do cat "$work/piece"; done >"$work/in"
truncate -s $((512 << 20)) "$work/in"

least() { awk -v a="$1" -v b="$2" 'BEGIN { print (b < a ? b : a) }'; }
since() { awk -v s="$1" -v e="$(date +%s.%N)" 'BEGIN { print e - s }'; }

# tarvoconv.exe converts in place as the job does (a temporary file,
# flushed, renamed over the input); its time includes starting Wine.
best_iconv=999 best_job=999 best_tarvoconv=999
for _ in 1 2 3; do
    # Into a new file: truncating the last run's would be timed too.
    rm -f "$work/out.iconv"
    start=$(date +%s.%N)
    iconv -f KOI8-R -t CP1251 "$work/in" >"$work/out.iconv"
    best_iconv=$(least "$best_iconv" "$(since "$start")")
    cp "$work/in" "$work/job.txt"
    sync
    report=$(job "$work/job.txt")
    best_job=$(least "$best_job" "$(field converted, "$report")")
    cp "$work/in" "$work/cli.txt"
    sync
    start=$(date +%s.%N)
    "$rig" run "$build" "$build/win32/cli/tarvoconv.exe" -f koi8-r -t cp1251 --in-place \
        "$(winpath "$work/cli.txt")"
    best_tarvoconv=$(least "$best_tarvoconv" "$(since "$start")")
done
cmp -s "$work/job.txt" "$work/out.iconv" && same=yes || same=NO

head -c $((1 << 20)) "$work/in" >"$work/small.txt"
small=$(job "$work/small.txt")
cat "$work/in" "$work/in" >"$work/big.txt"
big=$(job "$work/big.txt" damage)
# Cancelled early and late: the job deletes what it wrote so far.
cat "$work/in" "$work/in" >"$work/big.txt"
early=$(job "$work/big.txt" damage cancel 250)
cat "$work/in" "$work/in" >"$work/big.txt"
late=$(job "$work/big.txt" damage cancel 1000)

echo "input: 512 MiB of KOI8-R text, KOI8-R -> cp1251, best of 3"
awk -v j="$best_job" -v i="$best_iconv" -v c="$best_tarvoconv" -v same="$same" 'BEGIN {
    printf "file job in place (Wine)   %7.3f s  %6.0f MiB/s\n", j, 512 / j
    printf "tarvoconv.exe --in-place (Wine) %7.3f s  %6.0f MiB/s  (with Wine starting)\n", c, 512 / c
    printf "iconv > file (host)        %7.3f s  %6.0f MiB/s\n", i, 512 / i
    printf "the file job is %.1f times as fast as iconv; same output: %s\n", i / j, same
}'
echo "peak working set / private bytes: 1 MiB $(field "set" "$small") / $(field "bytes" "$small") MiB," \
    "1 GiB $(field "set" "$big") / $(field "bytes" "$big") MiB"
echo "1 GiB job, window damaged every 5 ms: $(field "converted," "$big") s," \
    "largest gap between repaints $(field "gap" "$big") ms, from the last repaint to the end $(field "end" "$big") ms"
for cancelled in "$early" "$late"; do
    echo "1 GiB job, Esc after $(field "Esc at" "$cancelled") ms:" \
        "\"Cancelled\" in the title $(field "title" "$cancelled") ms later," \
        "idle again $(field "again" "$cancelled") ms later"
done
[ "$same" = yes ]
