# Counting checks for the end-to-end scripts, which source this file. A failed check shows
# the program's standard error when the script keeps it in $work/stderr.
passed=0
failed=0
skipped=0

check() {  # check NAME CONDITION...
    local name="$1"
    shift
    if "$@"; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        echo "FAILED: $name"
        if [[ -n "${work:-}" && -s "$work/stderr" ]]; then
            sed 's/^/    stderr: /' "$work/stderr" | head -5
        fi
    fi
}

skip() {  # skip WHY
    echo "SKIPPED: $1"
    skipped=$((skipped + 1))
}

finish() {  # the closing line; the script's exit status
    if ((skipped)); then
        echo "$passed passed, $failed failed, $skipped skipped"
    else
        echo "$passed passed, $failed failed"
    fi
    test "$failed" -eq 0
}
