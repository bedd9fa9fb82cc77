#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# What the program may replace, through the real program in command-line mode: the output
# appears only when complete, keeps the old file's permission bits, writes the target of a
# symbolic link, goes directly to devices and pipes; the table file is never the input or
# the output; the table is the file named as typed.
# Usage: output_safety_test.sh PATH/TO/glossek
source "$(dirname "${BASH_SOURCE[0]}")/checks.sh"
program="$1"
export LANG=fr_FR.UTF-8  # DOS 850, Windows 1252

run() {  # runs the program in $work, keeps its exit code and standard error
    (cd "$work" && timeout 60 "$program" "$@" 2>"$work/stderr" </dev/null)
    status=$?
}
said() { grep -qF -- "$1" "$work/stderr"; }
silent() { test ! -s "$work/stderr"; }
leftovers() { find "$work" -name '.*.glossek-*'; }
printf 'caf\x82\r\n' >"$work/letter.txt"
expected=$'caf\xe9\r'

# The new output keeps the old file's permission bits; a new one follows the umask.
printf 'old\r\n' >"$work/kept.txt"
chmod 640 "$work/kept.txt"
run letter.txt kept.txt W R
check "permission bits: converted" test "$(cat "$work/kept.txt")" = "$expected"
check "permission bits: kept" test "$(stat -c %a "$work/kept.txt")" = 640
(umask 077 && cd "$work" && "$program" letter.txt private.txt W R 2>"$work/stderr")
check "new file: 0666 less the umask" test "$(stat -c %a "$work/private.txt")" = 600

# A symbolic link stays a link; its target, in another folder, gets the output.
mkdir "$work/elsewhere"
printf 'old\r\n' >"$work/elsewhere/target.txt"
ln -s elsewhere/target.txt "$work/link.txt"
run letter.txt link.txt W R
check "symbolic link: silent" silent
check "symbolic link: still a link" test -L "$work/link.txt"
check "symbolic link: target converted" test "$(cat "$work/elsewhere/target.txt")" = "$expected"
check "symbolic link: nothing left behind" test -z "$(leftovers)"

# Devices and pipes are written directly; a device is never "the file being read".
run /dev/null /dev/null W R
check "/dev/null to /dev/null: silent" silent
check "/dev/null to /dev/null: exit code 1" test "$status" -eq 1
(cd "$work" && "$program" letter.txt /dev/stdout W R >"$work/captured" 2>"$work/stderr")
check "/dev/stdout: silent" silent
check "/dev/stdout: the output" test "$(cat "$work/captured")" = "$expected"
check "/dev/stdout: the file it stands for, written in place" test -z "$(leftovers)"
(cd "$work" && "$program" letter.txt /dev/stdout W R 2>"$work/stderr" | cat >"$work/piped")
check "/dev/stdout, a pipe: the output" test "$(cat "$work/piped")" = "$expected"

# The table file is never the input or the output, whatever the spelling.
printf 'CHAR\r\n- caf\r\n+ tea\r\n' >"$work/tab.glk"
ln -s tab.glk "$work/tab.lnk"
ln "$work/tab.glk" "$work/tab.hard"
table_before="$(md5sum <"$work/tab.glk")"
for other in tab.glk ./tab.glk "$work/tab.glk" tab.lnk tab.hard; do
    run letter.txt "$other" Atab.glk R
    check "output $other is the table: refused" said "$other: Output file and conversion file must be different"
    run "$other" out.txt Atab.glk R
    check "input $other is the table: refused" said "$other: Input file and conversion file must be different"
done
check "table: unchanged" test "$(md5sum <"$work/tab.glk")" = "$table_before"
check "table: no output made" test ! -e "$work/out.txt"

# The table named as typed wins over files that differ from it only by case; when only
# the case-blind search finds it and finds several, none is taken and all are named.
printf 'CHAR\r\n- caf\r\n+ lower\r\n' >"$work/conv.glk"
printf 'CHAR\r\n- caf\r\n+ Capital\r\n' >"$work/Conv.glk"
printf 'CHAR\r\n- caf\r\n+ mixed\r\n' >"$work/cONV.glk"
for typed in conv.glk Conv.glk cONV.glk; do
    run letter.txt out.txt "A$typed" R
    check "table $typed: silent" silent
    check "table $typed: that one" test "$(cat "$work/out.txt")" = "$(sed -n 3p "$work/$typed" | cut -c3- | tr -d '\r')"$'\x82\r'
done
rm -f "$work/out.txt"
run letter.txt out.txt ACoNv.GlK R
check "several tables match: refused" said "/CoNv.GlK: Several files match this conversion file name without regard to case"
for name in conv.glk Conv.glk cONV.glk; do
    check "several tables match: $name named" said "glossek:     $work/$name"
done
check "several tables match: nothing converted" test ! -e "$work/out.txt"
printf 'CHAR\r\n- caf\r\n+ upper\r\n' >"$work/CONV.GLK"
run letter.txt out.txt ACoNv.GlK R
check "the name in upper case: taken" test "$(cat "$work/out.txt")" = $'upper\x82\r'

finish
