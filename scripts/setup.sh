#!/usr/bin/env bash
# Installs what building and testing Tarvo needs on Debian 12 or Ubuntu.
# Does nothing when everything is already there.
set -euo pipefail

packages=(
    cmake g++ make googletest libgtest-dev libbenchmark-dev
    g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix mingw-w64-i686-dev binutils-mingw-w64-i686
    wine wine32:i386 fonts-wine xvfb xdotool xauth imagemagick clang libclang-rt-14-dev halibut libchm-bin
    dpkg-dev file
    nsis                  # makensis, for the Windows installer
    lintian bash-completion  # the Debian package's checks and its completion's test
    locales  # the locale sources that tarvoconv's console test compiles for Wine
    gettext  # xgettext and msgfmt: tarvoconv's message catalogues
    man-db   # man, which the test of the Russian manual page renders it with
)

sudo_if_needed() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "setup: installing ${missing[*]}"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    sudo_if_needed dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
sudo_if_needed apt-get update -qq
sudo_if_needed apt-get install -y -qq --no-install-recommends "${missing[@]}"
