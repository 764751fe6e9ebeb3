#!/usr/bin/env bash
# Installs the Debian packages whose text the code page detector is trained
# and measured on (tools/detection/cyrillic_corpus.cpp names them), and the
# detectors the benchmark compares with. None of them is needed to build
# or test Tarvo.
set -euo pipefail

packages=(fortunes-ru fortunes-bg hunspell-ru hunspell-uk hunspell-be hunspell-bg hunspell-sr aspell-uk
          mythes-ru mythes-uk mythes-bg manpages-mk dict-freedict-mkd-bul
          manpages-ru manpages-uk manpages-sr)
[ "${1:-}" = "--with-detectors" ] && packages+=(uchardet libuchardet-dev enca python3-chardet)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    export DEBIAN_FRONTEND=noninteractive
    $sudo apt-get update -qq
    $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
