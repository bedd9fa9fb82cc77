#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# What the program may replace, through the real program in command-line mode: the output
# appears only when complete, keeps the old file's permission bits, owner, ACL, attributes
# and hard links (written in place where a rename cannot keep them, as root and as an
# ordinary user), writes the target of a symbolic link, goes directly to devices and pipes;
# the table file is never the input or the output; the table is the file named as typed.
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

# What the old file was stays: its ACL and attributes (by a rename), its other hard links
# (written in place: both names get the new content).
leftovers_anywhere() { find "$work" "${TMPDIR:-/tmp}" -maxdepth 1 -name '.*.glossek-*' 2>/dev/null; }
if command -v setfacl >/dev/null && command -v setfattr >/dev/null; then
    printf 'old\r\n' >"$work/acl.txt"
    chmod 640 "$work/acl.txt"
    setfacl -m u:1000:rw- "$work/acl.txt"
    setfattr -n user.origin -v scanner "$work/acl.txt"
    acl_before="$(getfacl -cp "$work/acl.txt"; stat -c %a "$work/acl.txt")"
    run letter.txt acl.txt W R
    check "ACL and attribute: converted" test "$(cat "$work/acl.txt")" = "$expected"
    check "ACL: kept" test "$(getfacl -cp "$work/acl.txt"; stat -c %a "$work/acl.txt")" = "$acl_before"
    check "attribute: kept" test "$(getfattr --only-values -n user.origin "$work/acl.txt" 2>/dev/null)" = scanner
else
    skip "ACL and attributes (no setfacl or setfattr: packages acl, attr)"
fi
printf 'old\r\n' >"$work/linked.txt"
ln "$work/linked.txt" "$work/other-name.txt"
run letter.txt linked.txt W R
check "hard link: silent" silent
check "hard link: converted" test "$(cat "$work/linked.txt")" = "$expected"
check "hard link: the other name too" test "$(cat "$work/other-name.txt")" = "$expected"
check "hard link: still one file" test "$(stat -c %h "$work/linked.txt")" -eq 2
check "hard link: nothing left behind" test -z "$(leftovers_anywhere)"

# As an ordinary user: a writable file in a folder that user may not write, and a
# group-writable file of another user in a shared sticky folder, are written in place and
# keep their owner; a file the user may not write is refused as before.
if [[ "$(id -u)" -eq 0 ]] && command -v setpriv >/dev/null; then
    as_nobody() {  # as_nobody GROUP ARGS...: the program as nobody, from $work
        local group="$1"
        shift
        (cd "$work" && timeout 60 setpriv --reuid=nobody --regid="$group" --clear-groups \
            "$work/bin/glossek" "$@" 2>"$work/stderr" </dev/null)
        status=$?
    }
    mkdir -p "$work/bin" "$work/closed" "$work/shared"
    cp "$program" "$work/bin/glossek"
    chmod 755 "$work" "$work/bin"
    chmod 644 "$work/letter.txt"
    printf 'old\r\n' >"$work/closed/open.txt"
    chmod 666 "$work/closed/open.txt"
    chmod 555 "$work/closed"
    as_nobody nogroup letter.txt closed/open.txt W R
    check "unwritable folder: silent" silent
    check "unwritable folder: converted in place" test "$(cat "$work/closed/open.txt")" = "$expected"
    check "unwritable folder: nothing left behind" test -z "$(leftovers_anywhere)"
    chmod 1777 "$work/shared"
    printf 'old\r\n' >"$work/shared/theirs.txt"
    chown daemon:users "$work/shared/theirs.txt"
    chmod 664 "$work/shared/theirs.txt"
    as_nobody users letter.txt shared/theirs.txt W R
    check "shared sticky folder: silent" silent
    check "shared sticky folder: converted" test "$(cat "$work/shared/theirs.txt")" = "$expected"
    check "shared sticky folder: owner and bits kept" \
        test "$(stat -c '%U:%G %a' "$work/shared/theirs.txt")" = "daemon:users 664"
    check "shared sticky folder: nothing left behind" test -z "$(ls -A "$work/shared" | grep glossek)"
    if command -v setfacl >/dev/null && command -v setfattr >/dev/null; then
        # Another user's file that an ACL lets this user write (in place), and this user's
        # own file with an ACL and an attribute (by a rename): each keeps them.
        printf 'old\r\n' >"$work/shared/granted.txt"
        chown daemon:daemon "$work/shared/granted.txt"
        chmod 640 "$work/shared/granted.txt"
        setfacl -m u:nobody:rw- "$work/shared/granted.txt"
        setfattr -n user.origin -v scanner "$work/shared/granted.txt"
        printf 'old\r\n' >"$work/shared/own.txt"
        chown nobody:nogroup "$work/shared/own.txt"
        setpriv --reuid=nobody --regid=nogroup --clear-groups \
            setfacl -m u:daemon:r-- "$work/shared/own.txt"
        setpriv --reuid=nobody --regid=nogroup --clear-groups \
            setfattr -n user.origin -v mine "$work/shared/own.txt"
        for file in granted own; do
            attributes="$(getfacl -cp "$work/shared/$file.txt"; getfattr -d "$work/shared/$file.txt" 2>/dev/null; stat -c '%U:%G %a' "$work/shared/$file.txt")"
            as_nobody nogroup letter.txt "shared/$file.txt" W R
            check "$file file with an ACL, as nobody: silent" silent
            check "$file file with an ACL, as nobody: converted" test "$(cat "$work/shared/$file.txt")" = "$expected"
            check "$file file with an ACL, as nobody: ACL, attribute and owner kept" \
                test "$(getfacl -cp "$work/shared/$file.txt"; getfattr -d "$work/shared/$file.txt" 2>/dev/null; stat -c '%U:%G %a' "$work/shared/$file.txt")" = "$attributes"
        done
    fi
    printf 'old\r\n' >"$work/shared/readonly.txt"
    chmod 444 "$work/shared/readonly.txt"
    as_nobody users letter.txt shared/readonly.txt W R
    check "unwritable file: refused" said "readonly.txt: File access denied."
    check "unwritable file: unchanged" test "$(cat "$work/shared/readonly.txt")" = $'old\r'
    # As root the same shared file is replaced by a rename, owner and all.
    run letter.txt shared/theirs.txt D R
    check "shared sticky folder as root: owner kept" \
        test "$(stat -c '%U:%G %a' "$work/shared/theirs.txt")" = "daemon:users 664"
else
    skip "an ordinary user's outputs (needs root and setpriv)"
fi

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
