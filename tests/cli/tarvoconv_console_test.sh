#!/usr/bin/env bash
# Runs tarvoconv.exe in cmd under Wine, as a user in a console window does,
# for what only the real program in a real console shows: the wide command
# line, wildcards, /?, NUL and CON, messages right in the console whatever
# its code page, and UTF-8 where they are redirected. The console is a
# pseudo-terminal, on which Wine's console draws its screen buffer: what
# comes out there is what the window would show.
# Each session runs in a system locale and a console code page of its own:
# a Western system (ANSI 1252) with chcp 1252 and 866, and a Russian one
# (ANSI 1251, OEM 866) with chcp 866, where tarvoconv.exe speaks Russian,
# the Windows display language that Wine takes from the locale.
#   tarvoconv_console_test.sh BUILD_DIR PATH_TO_TARVOCONV_EXE
# BUILD_DIR holds the started rig (scripts/wine-rig.sh). Prints one line
# per check and exits non-zero if any failed.
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../script_checks.sh"

build=$(cd "${1:?usage: tarvoconv_console_test.sh BUILD_DIR TARVOCONV_EXE}" && pwd) || exit 1
tool=$(realpath "${2:?usage: tarvoconv_console_test.sh BUILD_DIR TARVOCONV_EXE}") || exit 1
# Never Wine's default prefix: without the rig's environment, stop here.
rig_environment=$("$here/../../scripts/wine-rig.sh" env "$build") || exit 1
eval "$rig_environment"

# Wine takes a process's ANSI and OEM code pages from its locale (it only
# writes them to the registry's Nls\CodePage for others to read), and the
# bytes of Unix file names from the locale's character set. Debian ships
# only C.UTF-8 compiled, so the UTF-8 locales are compiled once into the
# build tree, and each session's processes get theirs through LOCPATH.
locales=$build/wine-locales  # compiled by the rig's start
for locale in en_US ru_RU; do
    [ -d "$locales/$locale.UTF-8" ] || { echo "the rig has no locale $locale.UTF-8" >&2; exit 1; }
done

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cd "$scratch" || exit 1

input=Ελλάδα-日本-привет.txt   # no ANSI code page holds all three scripts
output=выход-σ.txt
missing=missing-σ-日本-привет.txt
garbled=письмо-σ.eml  # "Привет" in UTF-8 read as cp1251

# session LOCALE CODE_PAGE: one cmd in a console, the commands joined by '&'
# (without quotes, which would not survive Wine's command line); the screen
# goes to console.txt without cursor movement, spaces and CRs.
session() {
    rm -rf run && mkdir run && cd run || return 1
    cp "$tool" tarvoconv.exe && printf 'Text seen through CON\n' >ascii.txt && printf '\341\321\n' >"$input" &&
        printf 'РџСЂРёРІРµС‚\n' >"$garbled"
    local commands="chcp $2 >nul"
    commands+=" & tarvoconv.exe -f koi8-r -t cp1251 -o $output $input"
    commands+=" & tarvoconv.exe --detect *.txt >detect.out"
    commands+=" & tarvoconv.exe -f 1 -t 2 $missing"
    commands+=" & tarvoconv.exe -f 1 -t 2 $missing 2>error.out"
    commands+=" & tarvoconv.exe /? >help.out"
    commands+=" & tarvoconv.exe -f koi8-r -t cp1251 -o NUL $input && echo NUL-written"
    commands+=" & tarvoconv.exe -f utf-8 -t utf-8 -o CON ascii.txt"
    commands+=" & tarvoconv.exe --repair --explain -o NUL $garbled"
    commands+=" & tarvoconv.exe --repair --explain $garbled >repaired.out 2>explain.out"
    LOCPATH=$locales LC_ALL=$1.UTF-8 SHELL=/bin/bash timeout 120 \
        script -qec "$(printf '%q ' wine cmd /c "$commands")" /dev/null </dev/null >console.raw 2>&1
    sed 's/\x1b\[[?0-9;]*[a-zA-Z]//g; s/[ \r]//g' console.raw >console.txt
    cd ..
}

converted_under_wide_names() {
    [ "$(od -An -tx1 "run/$output" 2>/dev/null)" = " c0 ff 0a" ]
}

# Listing order (case ignored), the names whole, and UTF-8 in the file.
detected_by_wildcard_in_utf8() {
    [ "$(cat run/detect.out)" = "$(printf 'ascii.txt: ascii\n%s: koi8-r (85%%)\n%s: cp1251 (62%%)' "$input" "$output")" ]
}

# What the session's language says; English but in the Russian session.
say() {
    if [ "$language" = ru_RU ]; then echo "$2"; else echo "$1"; fi
}

message_right_on_the_console() {
    grep -qF "tarvoconv:$missing:$(say 'No such file or directory' 'Нет такого файла или каталога' | tr -d ' ')" \
        run/console.txt
}

message_in_utf8_when_redirected() {
    [ "$(tr -d '\r' <run/error.out)" = \
        "tarvoconv: $missing: $(say 'No such file or directory' 'Нет такого файла или каталога')" ]
}

slash_question_mark_is_help() {
    head -n 1 run/help.out | grep -q "^$(say 'Usage: tarvoconv' 'Использование:')"
}

# No file named NUL or CON, and no temporary file, is left.
devices_written_directly() {
    local left
    left=$(cd run && ls | grep -v -x -e tarvoconv.exe -e ascii.txt -e "$input" -e "$output" -e "$garbled" -e '.*\.out' -e 'console\..*')
    grep -qx 'NUL-written' run/console.txt && grep -qx 'TextseenthroughCON' run/console.txt && [ -z "$left" ]
}

# The explanation is characters on the console, UTF-8 when redirected, and
# never mixed into the repaired text.
repair_explained_right() {
    local explained
    explained=$(say 'UTF-8 read as cp1251, confidence' 'UTF-8, прочитанный как cp1251, уверенность')
    grep -qF "$garbled:$(tr -d ' ' <<<"$explained")" run/console.txt &&
        tr -d '\r' <run/explain.out | grep -qx "$garbled: $explained [0-9]*" &&
        [ "$(cat run/repaired.out)" = Привет ]
}

for row in "en_US 1252" "en_US 866" "ru_RU 866"; do
    set -- $row
    language=$1
    session "$1" "$2"
    check "$row: names outside the ANSI code page convert" converted_under_wide_names
    check "$row: --detect *.txt, redirected: sorted, UTF-8" detected_by_wildcard_in_utf8
    check "$row: a message names the file right on the console, in the session's language" message_right_on_the_console
    check "$row: a redirected message is UTF-8" message_in_utf8_when_redirected
    check "$row: /? prints the help in the session's language" slash_question_mark_is_help
    check "$row: NUL and CON written to, nothing left" devices_written_directly
    check "$row: --repair --explain names the file right, apart from the text" repair_explained_right
done

finish_checks
