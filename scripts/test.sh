#!/usr/bin/env bash
# Sets up what is missing, builds both sides, and runs every test: the
# native suites and, under Wine in a private prefix and display, the Win32
# ones. Exits non-zero when anything fails.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${TARVO_BUILD_DIR:-$root/build}
jobs=$(nproc 2>/dev/null || echo 2)

"$root/scripts/setup.sh"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release
cmake --build "$build" -j"$jobs"

# The rig's cleanup test stops Xvfb and wineserver; this covers a ctest that
# is itself interrupted.
trap '"$root/scripts/wine-rig.sh" stop "$build" >/dev/null 2>&1 || true' EXIT
cd "$build"
ctest --output-on-failure -j"$jobs" "$@"
