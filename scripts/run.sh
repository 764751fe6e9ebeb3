#!/usr/bin/env bash
# Sets up what is missing, builds Tarvo, and runs it: the command line
# converter turns the bundled KOI8-R sample into cp1251 and back, and the
# result is shown in the terminal's own encoding.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${TARVO_BUILD_DIR:-$root/build}

"$root/scripts/setup.sh"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j"$(nproc 2>/dev/null || echo 2)" >/dev/null

sample=$root/docs/samples/sample.koi8-r.txt
tarvoconv=$build/cli/tarvoconv
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

"$tarvoconv" -f koi8-r -t cp1251 -n "$sample" "$out/sample.cp1251.txt"
echo "== $sample converted to cp1251 with CR LF line ends, shown as UTF-8:"
iconv -f CP1251 -t UTF-8 "$out/sample.cp1251.txt"
echo "== and back to KOI8-R: $(cmp -s "$sample" <("$tarvoconv" -f cp1251 -t koi8-r -n "$out/sample.cp1251.txt") && echo identical || echo DIFFERENT)"
echo "== Windows build: $build/win32/cli/tarvoconv.exe"
