#!/usr/bin/env bash
# Times tarvoconv as a whole process beside cat copying the same input, and
# an empty run beside /bin/true: the cost of tarvoconv's own reading,
# writing and start-up. Real Russian prose: the fortunes of fortunes-ru
# (tools/detection/install_corpus.sh installs them) in cp1251, repeated to
# 64 MiB and 1 GiB, and the same text in UTF-8. Each pair of commands takes
# turns, run after run, and the table gives the medians and the median of
# the ratios of the pairs, so that a machine whose speed drifts during the
# run still compares like with like. Every run writes a new file, the last
# one removed outside the timing.
#   bench/compare_tarvoconv_cat.sh [build dir] [work dir] [runs]
# The work dir (default: a new one under /dev/shm, a tmpfs) holds the inputs
# and outputs: name a folder on a disk to measure that instead.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
tarvoconv=${TARVOCONV:-$build/cli/tarvoconv}  # or another build's, to compare
base=${2:-/dev/shm}
runs=${3:-21}
sizes=${SIZES:-64M 1G}  # SIZES=64M leaves out the gigabyte
fortunes=/usr/share/games/fortunes/ru
[ -d "$fortunes" ] || { echo "fortunes-ru is missing: tools/detection/install_corpus.sh" >&2; exit 1; }
work=$(mktemp -d "$base/tarvoconv-cat.XXXXXX")
trap 'rm -rf "$work"' EXIT

# The fortunes in KOI8-R first and cp1251 after, so that every character
# of the text is one that both pages hold: the conversion stops at none.
find "$fortunes" -type f ! -name '*.dat' | sort | xargs cat | iconv -c -f UTF-8 -t KOI8-R |
    iconv -c -f KOI8-R -t CP1251 >"$work/prose"
repeat_to() {
    cp "$work/prose" "$1"
    while [ "$(stat -c %s "$1")" -lt "$2" ]; do
        cat "$1" "$1" >"$1.twice"
        mv "$1.twice" "$1"
    done
    truncate -s "$2" "$1"
}
for size in $sizes; do
    repeat_to "$work/$size.cp1251" $(($(numfmt --from=iec "$size")))
    iconv -f CP1251 -t UTF-8 "$work/$size.cp1251" >"$work/$size.utf8"
done
: >"$work/empty"
sync

# Each pair runs in turns, A B A B ..., from Python for the children's
# own processor time (user + system, from wait4) beside the wall time: on
# a machine shared with other work the wall time of a run grows with the
# load, its processor time much less. Every run writes a new file.
python3 - "$tarvoconv" "$work" "$runs" "$base" "$sizes" <<'PYTHON'
import os, statistics, subprocess, sys, time

tarvoconv, work, runs, base, sizes = sys.argv[1], sys.argv[2], int(sys.argv[3]), sys.argv[4], sys.argv[5].split()
out = os.path.join(work, "out")

def run(command, to):
    if os.path.exists(out):
        os.unlink(out)  # outside the timing: removing a large file costs as much as writing it
    with open(to, "wb") as sink:
        start = time.perf_counter()
        child = subprocess.Popen(command, stdout=sink)
        _, status, usage = os.wait4(child.pid, 0)
        wall = time.perf_counter() - start
    child.returncode = os.waitstatus_to_exitcode(status)
    if child.returncode != 0:
        sys.exit(f"{command[0]} failed: {child.returncode}")
    return wall * 1000, (usage.ru_utime + usage.ru_stime) * 1000

def compare(label, a, b, a_to=out):
    run(a, a_to), run(b, out)  # once each before timing: caches warm
    pairs = [(run(a, a_to), run(b, out)) for _ in range(runs)]
    median = lambda values: statistics.median(values)
    wall_a, wall_b = median(p[0][0] for p in pairs), median(p[1][0] for p in pairs)
    cpu_a, cpu_b = median(p[0][1] for p in pairs), median(p[1][1] for p in pairs)
    wall_ratio = median(p[0][0] / p[1][0] for p in pairs)
    cpu_ratio = median(p[0][1] / max(p[1][1], 0.001) for p in pairs)
    print(f"{label:38} {wall_a:9.2f} {wall_b:9.2f} {wall_ratio:6.2f}x  {cpu_a:9.2f} {cpu_b:9.2f} {cpu_ratio:6.2f}x",
          flush=True)

t, w = tarvoconv, work
print(f"median of {runs} interleaved runs each, files in {base}")
print(f"{'tarvoconv (A) beside (B)':38} {'wall ms':>9} {'B':>9} {'A/B':>7}  {'cpu ms':>9} {'B':>9} {'A/B':>7}")
compare("empty, cp1251 -> KOI8-R / true", [t, "-f", "cp1251", "-t", "koi8-r", f"{w}/empty"], ["/bin/true"])
compare("empty, cp1251 -> UTF-8 / true", [t, "-f", "cp1251", "-t", "utf-8", f"{w}/empty"], ["/bin/true"])
for size in sizes:
    page, utf8 = f"{w}/{size}.cp1251", f"{w}/{size}.utf8"
    compare(f"{size} cp1251 -> KOI8-R > file / cat", [t, "-f", "cp1251", "-t", "koi8-r", page], ["cat", page])
    compare(f"{size} cp1251 -> UTF-8 > file / cat", [t, "-f", "cp1251", "-t", "utf-8", page], ["cat", page])
    compare(f"{size} UTF-8 -> cp1251 > file / cat", [t, "-f", "utf-8", "-t", "cp1251", utf8], ["cat", utf8])
    # -o: a temporary file, flushed to the disk and renamed into place.
    compare(f"{size} cp1251 -> KOI8-R -o file / cat", [t, "-f", "cp1251", "-t", "koi8-r", "-o", out, page],
            ["cat", page], os.devnull)
PYTHON

# The outputs are right: what iconv makes of the same input.
"$tarvoconv" -f cp1251 -t koi8-r "$work/64M.cp1251" | cmp -s - <(iconv -f CP1251 -t KOI8-R "$work/64M.cp1251")
"$tarvoconv" -f cp1251 -t utf-8 "$work/64M.cp1251" | cmp -s - "$work/64M.utf8"
"$tarvoconv" -f utf-8 -t cp1251 "$work/64M.utf8" | cmp -s - "$work/64M.cp1251"
echo "same output as iconv: yes"
