# SPDX-License-Identifier: MIT
# What the end-to-end scripts share; each sources this file before anything else. It gives
# the script a work folder of its own, $work (removed at the end, whatever modes the script
# left in it), an environment without a display and without the caller's locale, code pages
# or report setting, and counting checks: a failed check shows the program's standard error
# when the script keeps it in $work/stderr.
set -uo pipefail
work="$(mktemp -d)"
trap 'chmod -R u+rwx "$work" 2>/dev/null; rm -rf "$work"' EXIT
unset DISPLAY WAYLAND_DISPLAY LC_ALL LC_CTYPE GLOSSEK_OEMCP GLOSSEK_ANSICP GLOSSEK_REPORT

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
