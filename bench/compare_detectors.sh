#!/usr/bin/env bash
# Tarvo's code page detector beside uchardet and enca on the held-out part
# of the corpus, in one run, and the detector's time on 4 KiB and 64 KiB.
#   bench/compare_detectors.sh [build dir]
# Installs what only this benchmark needs: the corpus (fortunes-ru) and the
# two other detectors. They are not Tarvo's dependencies.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}

missing=()
for p in fortunes-ru uchardet enca; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    export DEBIAN_FRONTEND=noninteractive
    $sudo apt-get update -qq
    $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

cmake --build "$build" --target detection_bench
echo "uchardet $(dpkg-query -W -f='${Version}' uchardet), enca $(dpkg-query -W -f='${Version}' enca)," \
     "fortunes-ru $(dpkg-query -W -f='${Version}' fortunes-ru)"
"$build/bench/detection_bench" /usr/share/games/fortunes/ru
