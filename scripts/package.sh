#!/usr/bin/env bash
# Builds one of the packages from the source tree, installing what is
# missing first, and prints where it is:
#   scripts/package.sh win32      build/win32/tarvo-VERSION-win32.zip: one folder,
#                                 tarvo-VERSION-win32, with tarvo.exe, tarvo.chm,
#                                 tarvo.hlp, tarvoconv.exe (both stripped),
#                                 README.txt and LICENSE.txt
#   scripts/package.sh installer  build/win32/tarvo-VERSION-setup.exe: installs
#                                 that folder for the user who runs it (/S: silently)
#   scripts/package.sh deb        build/packages/tarvoconv_VERSION_ARCH.deb: tarvoconv,
#                                 its manual page and its bash completion
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${TARVO_BUILD_DIR:-$root/build}
jobs=$(nproc 2>/dev/null || echo 2)
kind=${1:-}
case $kind in
win32 | installer | deb) ;;
*)
    echo "usage: scripts/package.sh win32|installer|deb" >&2
    exit 2
    ;;
esac

"$root/scripts/setup.sh"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
if [ "$kind" != deb ]; then
    # The Win32 tree makes the zip and the installer as part of its build.
    cmake --build "$build" -j"$jobs" --target win32
    if [ "$kind" = win32 ]; then
        ls "$build"/win32/tarvo-*-win32.zip
    else
        ls "$build"/win32/tarvo-*-setup.exe
    fi
else
    cmake --build "$build" -j"$jobs" --target tarvoconv debian_files
    (cd "$build" && cpack -G DEB -B "$build/packages" >/dev/null)
    rm -rf "$build/packages/_CPack_Packages"
    deb=$(ls "$build"/packages/tarvoconv_*.deb)
    if command -v lintian >/dev/null; then
        lintian --pedantic "$deb" 2>/dev/null || true
    fi
    echo "$deb"
fi
