#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Every file operation of a small conversion made to fail in turn, through a preloaded
# library: open, read, write, close, fsync, rename, ftruncate, the extended attributes,
# fchown and fchmod, the Nth call of each for every N the conversion makes, on outputs that
# are renamed into place and on outputs written in place (another hard link). After each
# run: exit code 1, the input and the table unchanged, and either the old output intact
# with a message saying why, or the complete new output and nothing said; an output's ACL
# and attributes and its other link always as they were; never a temporary file left.
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

# Each way: its arguments, and where its output goes (through a symbolic link for "link",
# with an ACL and an attribute for "attrs", with another hard link for "hard").
declare -A args=(
    [over]="$in/text.txt $out/result.txt W R"
    [table]="$in/text.txt $out/result.txt A$in/table.glk R"
    [new]="$in/text.txt $out/result.txt D R"
    [link]="$in/text.txt $out/result.txt W R"
    [attrs]="$in/text.txt $out/result.txt W R"
    [hard]="$in/text.txt $out/result.txt A$in/table.glk R"
)
ways=(over table new link attrs hard)
kinds=(open read write close fsync rename truncate xattr chown chmod)
if ! command -v setfacl >/dev/null || ! command -v setfattr >/dev/null; then
    skip "ACL and attributes (no setfacl or setfattr: packages acl, attr)"
    ways=(over table new link hard)
fi
kept() { getfacl -cp "$out/result.txt" 2>/dev/null; getfattr -d "$out/result.txt" 2>/dev/null; }

prepare() {  # prepare WAY: the output folder as it is before the conversion
    rm -rf "$out" "$elsewhere"
    mkdir -p "$out" "$elsewhere"
    case "$1" in
        over | table) printf 'old output\r\n' >"$out/result.txt" ;;
        link)
            printf 'old target\r\n' >"$elsewhere/target.txt"
            ln -s "$elsewhere/target.txt" "$out/result.txt"
            ;;
        attrs)
            printf 'old output\r\n' >"$out/result.txt"
            chmod 640 "$out/result.txt"
            setfacl -m u:1000:rw- "$out/result.txt"
            setfattr -n user.origin -v scanner "$out/result.txt"
            ;;
        hard)
            printf 'old output\r\n' >"$out/result.txt"
            ln "$out/result.txt" "$elsewhere/other.txt"
            ;;
    esac
    old="$(cat "$out/result.txt" 2>/dev/null || echo absent)"
    names="$(ls -A "$out" "$elsewhere")"
    attributes="$(kept)"
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
    for kind in "${kinds[@]}"; do
        calls[$kind]="$(count_of "$kind")"
    done
    if [[ "$way" == hard ]]; then
        check "$way: written in place and flushed" \
            test "${calls[fsync]}" -ge 2 -a "${calls[truncate]}" -ge 1 -a "${calls[rename]}" -eq 0
    else
        check "$way: the output was flushed to the disk and renamed" \
            test "${calls[fsync]}" -ge 1 -a "${calls[rename]}" -ge 1
    fi
    for kind in "${kinds[@]}"; do
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
            check "$name: ACL and attributes kept" test "$(kept)" = "$attributes"
            if [[ "$way" == hard ]]; then
                check "$name: the other link the same file" cmp -s "$out/result.txt" "$elsewhere/other.txt"
            fi
        done
    done
done

# An input cut short by another program while it is read: said at the end, the old output
# kept.
prepare over
env GLOSSEK_FAULT_CALL=read GLOSSEK_FAULT_AT=2 GLOSSEK_FAULT_SHRINK=1 LD_PRELOAD="$shim" \
    "$program" "$in/text.txt" "$out/result.txt" W R 2>"$work/stderr" </dev/null
status=$?
check "input cut short: exit code 1" test "$status" -eq 1
check "input cut short: said" said "text.txt: The file changed while it was read"
check "input cut short: old output intact" test "$(cat "$out/result.txt")" = "$old"
check "input cut short: no file left behind" test "$(ls -A "$out" "$elsewhere")" = "$names"

finish
