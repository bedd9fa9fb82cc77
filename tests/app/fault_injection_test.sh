#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Every file operation of a small conversion made to fail in turn, through a preloaded
# library: open, read, write, close, fsync and rename, the Nth call of each for every N the
# conversion makes. After each run: exit code 1, the input and the table unchanged, and
# either the old output intact with a message saying why, or the complete new output and
# nothing said; never a temporary file left in the folder.
# Usage: fault_injection_test.sh PATH/TO/glossek PATH/TO/fault_injection.so [SANITIZED]
source "$(dirname "${BASH_SOURCE[0]}")/checks.sh"
program="$1"
shim="$2"
sanitized="${3:-0}"
export LANG=fr_FR.UTF-8
if [[ "$sanitized" == 1 || "$sanitized" == ON || "$sanitized" == TRUE ]]; then
    # The library comes before the sanitizer's runtime, whose calls it passes on.
    export ASAN_OPTIONS="${ASAN_OPTIONS:-}:verify_asan_link_order=0"
fi

in="$work/in"
out="$work/out"
elsewhere="$work/elsewhere"
mkdir -p "$in"
# More than one 64 KiB block of DOS text, a line longer than a block among them.
{
    for ((i = 0; i < 1500; i++)); do printf 'Ligne %d : \x82t\x82 \x85 la f\x88te\r\n' "$i"; done
    head -c 100000 /dev/zero | tr '\0' '\202'
    printf '\r\nfin\r\n'
} >"$in/text.txt"
printf 'CHAR\r\n- Ligne\r\n+ Line\r\n- f\x88te\r\n+ fete\r\n' >"$in/table.glk"
sums() { md5sum "$in"/*; }
before="$(sums)"

# Each way: its arguments, and where its output goes (through a symbolic link for "link").
declare -A args=(
    [over]="$in/text.txt $out/result.txt W R"
    [table]="$in/text.txt $out/result.txt A$in/table.glk R"
    [new]="$in/text.txt $out/result.txt D R"
    [link]="$in/text.txt $out/result.txt W R"
)
ways=(over table new link)

prepare() {  # prepare WAY: the output folder as it is before the conversion
    rm -rf "$out" "$elsewhere"
    mkdir -p "$out" "$elsewhere"
    case "$1" in
        over | table) printf 'old output\r\n' >"$out/result.txt" ;;
        link)
            printf 'old target\r\n' >"$elsewhere/target.txt"
            ln -s "$elsewhere/target.txt" "$out/result.txt"
            ;;
    esac
    old="$(cat "$out/result.txt" 2>/dev/null || echo absent)"
    names="$(ls -A "$out" "$elsewhere")"
}

run() {  # run WAY [KIND N ERRNO]: the conversion, with the Nth call of KIND failing
    local way="$1"
    prepare "$way"
    # shellcheck disable=SC2086  # the arguments hold no blanks
    env GLOSSEK_FAULT_CALL="${2:-none}" GLOSSEK_FAULT_AT="${3:-0}" GLOSSEK_FAULT_ERRNO="${4:-5}" \
        GLOSSEK_FAULT_LOG="$work/log" LD_PRELOAD="$shim" \
        "$program" ${args[$way]} 2>"$work/stderr" </dev/null
    status=$?
}

said() { grep -qF -- "$1" "$work/stderr"; }
count_of() { awk -v k="$1" '$1 == k { print $2 }' "$work/log"; }

for way in "${ways[@]}"; do
    run "$way"
    check "$way, no failure: exit code 1" test "$status" -eq 1
    check "$way, no failure: nothing said" test ! -s "$work/stderr"
    cp "$out/result.txt" "$work/expected.$way"
    check "$way, no failure: converted" bash -c "! cmp -s '$work/expected.$way' <(echo '$old')"
    declare -A calls=()
    for kind in open read write close fsync rename; do
        calls[$kind]="$(count_of "$kind")"
    done
    check "$way: the output was flushed to the disk and renamed" \
        test "${calls[fsync]}" -ge 1 -a "${calls[rename]}" -ge 1
    for kind in open read write close fsync rename; do
        errno=5  # EIO, which is not "access denied"
        [[ "$kind" == write ]] && errno=28  # ENOSPC
        for ((n = 1; n <= calls[$kind]; n++)); do
            name="$way, $kind call $n failing"
            run "$way" "$kind" "$n" "$errno"
            check "$name: exit code 1 (was $status)" test "$status" -eq 1
            check "$name: made to fail" grep -q injected "$work/log"
            check "$name: inputs unchanged" test "$(sums)" = "$before"
            check "$name: no file left behind" test "$(ls -A "$out" "$elsewhere")" = "$names"
            if [[ -s "$work/stderr" ]]; then
                check "$name: old output intact" \
                    test "$(cat "$out/result.txt" 2>/dev/null || echo absent)" = "$old"
                check "$name: not taken for access denied" bash -c "! grep -q 'access denied' '$work/stderr'"
                if [[ "$kind" == read ]]; then
                    check "$name: a read error said" said "Disk read error"
                fi
                if [[ "$kind" == write ]]; then
                    check "$name: a full disk said" said "the disk is full"
                fi
            else
                check "$name: complete new output" cmp -s "$out/result.txt" "$work/expected.$way"
            fi
            if [[ "$way" == link ]]; then
                check "$name: the link stays a link" test -L "$out/result.txt"
            fi
        done
    done
done

finish
