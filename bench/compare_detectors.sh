#!/usr/bin/env bash
# Tarvo's code page detector beside uchardet, enca and chardet on the
# held-out part of the corpus, in one run, and the time of a call beside
# uchardet's.
#   bench/compare_detectors.sh [build dir]
# Installs what only this benchmark needs: the corpus and the other
# detectors (tools/detection/install_corpus.sh). They are not Tarvo's
# dependencies.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}

"$root/tools/detection/install_corpus.sh" --with-detectors
# Configured again so that the benchmark finds uchardet's library.
cmake "$build" > /dev/null
cmake --build "$build" --target detection_bench
for p in uchardet enca python3-chardet; do
    echo -n "$p $(dpkg-query -W -f='${Version}' "$p"), "
done
echo
"$build/bench/detection_bench"
