#!/usr/bin/env bash
# Unpacks the Windows zip into an empty folder, checks what it holds, and
# runs the Win32 package test against its one folder under Wine.
#   windows_package_test.sh BUILD_DIR ZIP PACKAGE_TESTS_EXE
set -u
. "$(cd "$(dirname "$0")/.." && pwd)/script_checks.sh"
build=$1
zip=$2
tests=$3
folder=$(basename "$zip" .zip)
rig=$(dirname "$0")/../../scripts/wine-rig.sh
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

(cd "$scratch" && cmake -E tar xf "$zip") || exit 1
unpacked=$scratch/$folder

one_folder() {
    [ "$(cd "$scratch" && ls -A)" = "$folder" ] && [ -d "$unpacked" ]
}

holds_its_files() {
    [ "$(cd "$unpacked" && LC_ALL=C ls -A)" = \
        "$(printf '%s\n' LICENSE.txt README.txt tarvo-ru.chm tarvo-ru.hlp tarvo-uk.chm tarvo-uk.hlp tarvo.chm tarvo.exe \
            tarvo.hlp tarvoconv.exe)" ]
}

windows_line_ends() {  # every line, the last included, ends in CR LF
    local text
    for text in README.txt LICENSE.txt; do
        [ "$(grep -c $'\r$' "$unpacked/$text")" = "$(wc -l <"$unpacked/$text")" ] &&
            [ -z "$(tail -c 1 "$unpacked/$text")" ] || return 1
    done
}

stripped() {  # neither symbols nor debug information
    local exe flags
    for exe in tarvo.exe tarvoconv.exe; do
        flags=$(i686-w64-mingw32-objdump -f "$unpacked/$exe") || return 1
        [[ $flags == *i386* && $flags != *HAS_SYMS* && $flags != *HAS_DEBUG* ]] || return 1
    done
}

check "the zip holds one folder, $folder" one_folder
check "the folder holds both programs, both help files, README.txt and LICENSE.txt" holds_its_files
check "README.txt and LICENSE.txt have Windows line ends" windows_line_ends
check "both programs are stripped" stripped
finish_checks || exit 1

TARVO_PACKAGE_DIR="Z:$(printf '%s' "$unpacked" | tr / '\\')" "$rig" run "$build" "$tests"
