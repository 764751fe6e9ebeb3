#!/usr/bin/env bash
# Times tarvoconv as a whole process beside cat and dd copying the same
# input, and an empty run beside /bin/true: the cost of tarvoconv's own
# reading, writing and start-up. Real Russian prose: the fortunes of fortunes-ru
# (tools/detection/install_corpus.sh installs them) in cp1251, repeated to
# 64 MiB and 1 GiB, and the same text in UTF-8. Each pair of commands takes
# turns, run after run, and the table gives the medians and the median of
# the ratios of the pairs, so that a machine whose speed drifts during the
# run still compares like with like. Every run writes a new file, the last
# one removed outside the timing.
#   [SIZES=64M] [BEFORE=other/tarvoconv] bench/compare_tarvoconv_cat.sh [build dir] [work dir] [runs]
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
# Beside cat, which copies a file into a file within the system
# (copy_file_range) and never sees the bytes, dd copies them through a
# buffer of its own with read and write, as any program that converts them
# must. BEFORE=path/to/another/tarvoconv adds a row against that build.
python3 - "$tarvoconv" "$work" "$runs" "$base" "$sizes" "${BEFORE:-}" <<'PYTHON'
import os, statistics, subprocess, sys, time

tarvoconv, work, runs, base = sys.argv[1], sys.argv[2], int(sys.argv[3]), sys.argv[4]
sizes, before = sys.argv[5].split(), sys.argv[6]
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

def compare(label, a, b, a_to=out, b_to=out):
    run(a, a_to), run(b, b_to)  # once each before timing: caches warm
    pairs = [(run(a, a_to), run(b, b_to)) for _ in range(runs)]
    median = statistics.median
    wall_a, wall_b = median(p[0][0] for p in pairs), median(p[1][0] for p in pairs)
    cpu_a, cpu_b = median(p[0][1] for p in pairs), median(p[1][1] for p in pairs)
    wall_ratio = median(p[0][0] / p[1][0] for p in pairs)
    cpu_ratio = median(p[0][1] / max(p[1][1], 0.001) for p in pairs)
    print(f"{label:44} {wall_a:9.2f} {wall_b:9.2f} {wall_ratio:6.2f}x  {cpu_a:9.2f} {cpu_b:9.2f} {cpu_ratio:6.2f}x",
          flush=True)

def compare_all(label, arguments, yardsticks, a_to=out):
    for name, command in yardsticks:
        compare(f"{label} / {name}", [tarvoconv] + arguments, command, a_to)
    if before:
        compare(f"{label} / before", [tarvoconv] + arguments, [before] + arguments, a_to, a_to)

w = work
print(f"median of {runs} interleaved runs each, files in {base}")
print(f"{'tarvoconv (A) beside (B)':44} {'wall ms':>9} {'B':>9} {'A/B':>7}  {'cpu ms':>9} {'B':>9} {'A/B':>7}")
true = [("true", ["/bin/true"])]
compare_all("empty, cp1251 -> KOI8-R", ["-f", "cp1251", "-t", "koi8-r", f"{w}/empty"], true)
compare_all("empty, cp1251 -> UTF-8", ["-f", "cp1251", "-t", "utf-8", f"{w}/empty"], true)
compare_all("empty, UTF-8 -> cp1251", ["-f", "utf-8", "-t", "cp1251", f"{w}/empty"], true)
for size in sizes:
    page, utf8 = f"{w}/{size}.cp1251", f"{w}/{size}.utf8"
    copies = lambda source: [("cat", ["cat", source]), ("dd", ["dd", f"if={source}", "bs=256K", "status=none"])]
    compare_all(f"{size} cp1251 -> KOI8-R > file", ["-f", "cp1251", "-t", "koi8-r", page], copies(page))
    compare_all(f"{size} cp1251 -> UTF-8 > file", ["-f", "cp1251", "-t", "utf-8", page], copies(page))
    compare_all(f"{size} UTF-8 -> cp1251 > file", ["-f", "utf-8", "-t", "cp1251", utf8], copies(utf8))
    # -o: a temporary file, flushed to the disk and renamed into place.
    compare_all(f"{size} cp1251 -> KOI8-R -o file", ["-f", "cp1251", "-t", "koi8-r", "-o", out, page],
                [("cat", ["cat", page])], os.devnull)
PYTHON

# The outputs are right: what iconv makes of the same input.
first=${sizes%% *}
"$tarvoconv" -f cp1251 -t koi8-r "$work/$first.cp1251" | cmp -s - <(iconv -f CP1251 -t KOI8-R "$work/$first.cp1251")
"$tarvoconv" -f cp1251 -t utf-8 "$work/$first.cp1251" | cmp -s - "$work/$first.utf8"
"$tarvoconv" -f utf-8 -t cp1251 "$work/$first.utf8" | cmp -s - "$work/$first.cp1251"
echo "same output as iconv: yes"
