#!/usr/bin/env bash
# Runs the tarvoconv executable itself, for what only a separate process
# shows: pipes, FIFOs, exit codes, a full standard output and a file size
# limit.
# Prints one line per case and exits non-zero if any case failed.
#   tarvoconv_cli_test.sh PATH_TO_TARVOCONV
set -u
. "$(cd "$(dirname "$0")/.." && pwd)/script_checks.sh"

tool=$(realpath "${1:?usage: tarvoconv_cli_test.sh PATH_TO_TARVOCONV}") || exit 1
# The messages checked are the English ones, whatever the user's language.
unset LANGUAGE
export LC_ALL=C.UTF-8
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
    [ $? -eq 2 ] && [ ! -s bad.out ] &&
        [ "$(cat bad.err)" = "$(printf "tarvoconv: unknown encoding 'nonesuch'\nTry 'tarvoconv --help' for more information.")" ]
}

# A reader at the other end of a FIFO gets the text, and the FIFO stays.
fifo_written_through() {
    rm -f fifo && mkfifo fifo || return 1
    cat fifo >fifo.out &
    local reader=$!
    timeout 30 "$tool" -f koi8-r -t cp1251 -o fifo koi8.txt
    local status=$?
    # A tarvoconv that never opened the FIFO leaves the reader waiting.
    [ $status -eq 0 ] || { kill "$reader"; wait "$reader"; return 1; }
    wait "$reader" && [ -p fifo ] && cmp -s fifo.out windows.txt
}

# The repaired text alone through the pipe; what was undone on stderr.
repair_through_pipe() {
    printf 'РџСЂРёРІРµС‚\n' | "$tool" --repair --explain 2>repair.err | cmp -s - <(printf 'Привет\n') &&
        grep -qx '(standard input): UTF-8 read as cp1251, confidence [0-9]*' repair.err
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
    bash -c "$trap_command ulimit -f 4; exec \"\$0\" -f 1 -t 2 -o limit/out.txt limit/in.txt" \
        "$tool" 2>limit.err
    [ $? -eq 1 ] && grep -q '^tarvoconv: limit/out.txt: ' limit.err &&
        [ "$(cat limit/out.txt)" = old ] && [ "$(ls -A limit)" = "$(printf 'in.txt\nout.txt')" ]
}

# A signal in the middle of a conversion into a file: tarvoconv ends as the
# signal ends it, the old output is as it was and no temporary file is left.
# It reads from a FIFO that a writer holds open for 30 s after 2 MiB, so
# that it waits there with the temporary file begun, and ends by then.
signal_leaves_no_temporary_file() {
    local signal=$1
    rm -rf signal && mkdir signal && mkfifo signal/in && echo old >signal/out.txt || return 1
    set -m  # else a job started with & ignores SIGINT, and so would tarvoconv
    (head -c 2097152 /dev/zero | tr '\0' x && exec sleep 30) >signal/in &
    local writer=$!
    "$tool" -f koi8-r -t cp1251 -o signal/out.txt signal/in 2>/dev/null &
    local converter=$!
    set +m
    local tries=0
    until ls -A signal | grep -q '^\.trv' || [ $tries -ge 300 ]; do
        sleep 0.1
        tries=$((tries + 1))
    done
    kill -s "$signal" "$converter"
    { wait "$converter"; } 2>/dev/null
    local status=$?
    kill "$writer" 2>/dev/null
    { wait "$writer"; } 2>/dev/null
    [ $tries -lt 300 ] && [ $status -eq $((128 + $(kill -l "$signal"))) ] &&
        [ "$(ls -A signal)" = "$(printf 'in\nout.txt')" ] && [ "$(cat signal/out.txt)" = old ]
}

check "stdin to stdout through a pipe" pipe_converts
check "--help prints usage to stdout, exit 0" help_on_stdout
check "unknown code page exits 2 with one line and a hint" bad_arguments_exit_2
check "a FIFO as output is written through, not replaced" fifo_written_through
check "--repair --explain: text through the pipe, explanation on stderr" repair_through_pipe
check "/dev/full as stdout exits 1" full_stdout_exit_1
check "file size limit with SIGXFSZ ignored exits 1, output kept" size_limit_exit_1 "trap '' XFSZ;"
check "file size limit with SIGXFSZ default exits 1, output kept" size_limit_exit_1 ""
for signal in INT TERM HUP PIPE; do
    check "SIG$signal mid-file ends tarvoconv, no temporary file left" signal_leaves_no_temporary_file $signal
done

finish_checks
