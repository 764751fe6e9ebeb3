#!/usr/bin/env bash
# Runs the tarvoconv executable itself, for what only a separate process
# shows: pipes, exit codes, a full standard output and a file size limit.
# Prints one line per case and exits non-zero if any case failed.
#   tarvoconv_cli_test.sh PATH_TO_TARVOCONV
set -u
. "$(cd "$(dirname "$0")/.." && pwd)/script_checks.sh"

tool=$(realpath "${1:?usage: tarvoconv_cli_test.sh PATH_TO_TARVOCONV}") || exit 1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cd "$scratch" || exit 1

# 'Ая' in KOI8-R and in cp1251.
printf '\341\321\n' >koi8.txt
printf '\300\377\n' >windows.txt

pipe_converts() {
    "$tool" -f koi8-r -t cp1251 <koi8.txt | cmp -s - windows.txt
}

help_on_stdout() {
    "$tool" --help >help.out 2>help.err && grep -q '^Usage: tarvoconv' help.out && [ ! -s help.err ]
}

bad_arguments_exit_2() {
    "$tool" -f koi8-r -t nonesuch <koi8.txt >bad.out 2>bad.err
    [ $? -eq 2 ] && [ ! -s bad.out ] && grep -q 'Usage: tarvoconv' bad.err
}

full_stdout_exit_1() {
    "$tool" -f koi8-r -t cp1251 koi8.txt >/dev/full 2>full.err
    [ $? -eq 1 ] && grep -q '^tarvoconv: standard output: ' full.err
}

# Runs tarvoconv under a 4 KiB file size limit, with SIGXFSZ ignored by the
# shell ('trap') or left to tarvoconv itself, on a large input; the old
# output must survive and no temporary file may be left.
size_limit_exit_1() {
    local trap_command=$1
    rm -rf limit && mkdir limit || return 1
    head -c 100000 /dev/zero | tr '\0' 'x' >limit/in.txt
    echo old >limit/out.txt
    bash -c "$trap_command ulimit -f 4; exec \"\$0\" -f 1 -t 2 limit/in.txt limit/out.txt" \
        "$tool" 2>limit.err
    [ $? -eq 1 ] && grep -q '^tarvoconv: limit/out.txt: ' limit.err &&
        [ "$(cat limit/out.txt)" = old ] && [ "$(ls -A limit)" = "$(printf 'in.txt\nout.txt')" ]
}

check "stdin to stdout through a pipe" pipe_converts
check "--help prints usage to stdout, exit 0" help_on_stdout
check "unknown code page exits 2 with usage" bad_arguments_exit_2
check "/dev/full as stdout exits 1" full_stdout_exit_1
check "file size limit with SIGXFSZ ignored exits 1, output kept" size_limit_exit_1 "trap '' XFSZ;"
check "file size limit with SIGXFSZ default exits 1, output kept" size_limit_exit_1 ""

finish_checks
