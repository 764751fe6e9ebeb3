#!/usr/bin/env bash
# Unpacks the Windows zip into an empty folder, checks what it holds, and
# runs the Win32 package test against that folder under Wine.
#   windows_package_test.sh BUILD_DIR ZIP PACKAGE_TESTS_EXE
set -u
build=$1
zip=$2
tests=$3
rig=$(dirname "$0")/../../scripts/wine-rig.sh
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

(cd "$scratch" && cmake -E tar xf "$zip") || exit 1
listing=$(cd "$scratch" && LC_ALL=C ls)
if [ "$listing" != "$(printf 'LICENSE.txt\nREADME.txt\ntarvo.exe\ntarvo.hlp\ntarvoconv.exe')" ]; then
    echo "FAIL - the zip holds:" $listing
    exit 1
fi
for text in README.txt LICENSE.txt; do
    # Every line, the last included, ends in CR LF.
    if [ "$(grep -c $'\r$' "$scratch/$text")" != "$(wc -l <"$scratch/$text")" ] ||
        [ -n "$(tail -c 1 "$scratch/$text")" ]; then
        echo "FAIL - $text does not have Windows line ends"
        exit 1
    fi
done
echo "ok - the zip holds the five files; its text files have Windows line ends"

TARVO_PACKAGE_DIR="Z:$(printf '%s' "$scratch" | tr / '\\')" "$rig" run "$build" "$tests"
