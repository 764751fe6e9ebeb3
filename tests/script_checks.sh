# What the test scripts share; sourced, not run. check NAME COMMAND...
# runs the command and prints one line for it; finish_checks ends the script
# with its totals, failing when any check failed.
passed=0
failed=0

check() {
    local name=$1
    shift
    if "$@"; then
        echo "ok - $name"
        passed=$((passed + 1))
    else
        echo "FAIL - $name"
        failed=$((failed + 1))
    fi
}

finish_checks() {
    echo "$passed passed, $failed failed"
    [ "$failed" -eq 0 ]
}
