#!/usr/bin/env bash
# Sets up what is missing, builds Tarvo (the program alone, not the tests)
# and runs it under Wine: on your own display when there is one; without
# one, in a virtual display, where a screenshot is taken and the program
# closed again.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${TARVO_BUILD_DIR:-$root/build}

"$root/scripts/setup.sh"
jobs=$(nproc 2>/dev/null || echo 2)
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
# Only what the program needs: its pictures and help, made by the native
# tree's tools, then tarvo.exe in the Win32 tree (no tests, no benchmarks).
cmake --build "$build" -j"$jobs" --target win32-configure >/dev/null
cmake --build "$build/win32" -j"$jobs" --target tarvo >/dev/null
tarvo=$build/win32/shell/tarvo.exe

if [ -n "${DISPLAY:-}" ]; then
    # Settings live in this prefix's registry from one run to the next.
    export WINEPREFIX=${WINEPREFIX:-$build/run-prefix} WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
    echo "Starting $tarvo (Wine prefix $WINEPREFIX)"
    exec wine "$tarvo"
fi

rig=$root/scripts/wine-rig.sh
trap '"$rig" stop "$build" >/dev/null 2>&1 || true' EXIT
"$rig" start "$build" >/dev/null
eval "$("$rig" env "$build")"
wine "$tarvo" >/dev/null 2>&1 &
window=
for _ in $(seq 50); do
    window=$(xdotool search --name '^Tarvo$' 2>/dev/null | head -n 1) && [ -n "$window" ] && break
    sleep 0.2
done
sleep 1
shot=$build/tarvo-screenshot.png
import -window "${window:-root}" "$shot"
echo "No display: Tarvo ran in a virtual one. Screenshot: $shot"
