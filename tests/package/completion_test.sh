#!/usr/bin/env bash
# tarvoconv's bash completion as bash runs it on a Tab: with Debian's
# bash-completion loaded, and in a plain bash without it.
#   completion_test.sh COMPLETION_FILE TARVOCONV_DIR
set -u
. "$(cd "$(dirname "$0")/.." && pwd)/script_checks.sh"
completion=$(realpath "$1")
PATH=$(realpath "$2"):$PATH
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
touch "$scratch/letter.koi8" "$scratch/notes.txt"
mkdir "$scratch/old"
cd "$scratch" || exit 1

# What a Tab offers after the line, in one sorted line: the completion is
# run in its own bash, as each mode loads it.
offered() {  # MODE LINE
    bash --norc --noprofile -c '
        [ "$1" = full ] && . /usr/share/bash-completion/bash_completion
        . "$2"
        COMP_LINE=$3
        COMP_POINT=${#COMP_LINE}
        read -ra COMP_WORDS <<<"$COMP_LINE"
        [[ $COMP_LINE == *" " ]] && COMP_WORDS+=("")
        COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
        function=$(complete -p tarvoconv | sed -n "s/.*-F \([^ ]*\) tarvoconv$/\1/p")
        [ -n "$function" ] || exit 1
        "$function" tarvoconv "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
        printf "%s\n" "${COMPREPLY[@]}" | LC_ALL=C sort | paste -sd " "
    ' completion "$1" "$completion" "$2"
}

# A line, then what a Tab offers after it.
cases=(
    "tarvoconv -f k"                      "koi8-r koi8-u"
    "tarvoconv -t utf"                    "utf-16 utf-16be utf-16le utf-8"
    "tarvoconv --from cp"                 "cp1125 cp1251 cp866"
    "tarvoconv --to=iso"                  "iso-8859-5"
    "tarvoconv -f a"                      "auto"
    "tarvoconv -t a"                      ""
    "tarvoconv -f win"                    "win windows-1251 windows1251"
    "tarvoconv --in"                      "--in-place"
    "tarvoconv --re"                      "--repair"
    "tarvoconv -f cp866 -t utf-8 -"       "--detect --explain --force --from --help --in-place --list --newlines --output --repair --to --verbose --version -c -f -h -l -n -o -t -v"
    "tarvoconv -f cp866 -t utf-8 n"       "notes.txt"
    "tarvoconv -o l"                      "letter.koi8"
)

for mode in full plain; do
    for ((i = 0; i < ${#cases[@]}; i += 2)); do
        line=${cases[i]} expected=${cases[i + 1]}
        got=$(offered "$mode" "$line")
        [ "$got" = "$expected" ] || echo "  \"$line\" offered \"$got\""
        check "$mode: \"$line\" offers \"$expected\"" [ "$got" = "$expected" ]
    done
done

finish_checks
