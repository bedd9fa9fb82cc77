#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Bad input through the real program in command-line mode: each case must end with its
# message on standard error and exit code 1 (never a signal), within its time, with every
# input file byte for byte as it was.
# Usage: bad_input_test.sh PATH/TO/glossek [SANITIZED]
source "$(dirname "${BASH_SOURCE[0]}")/checks.sh"
program="$1"
sanitized=0
[[ "${2:-0}" == 1 || "${2:-0}" == ON || "${2:-0}" == TRUE ]] && sanitized=1
in="$work/in"
out="$work/out"
mkdir -p "$in" "$out"

run() {  # runs the program from the output folder with a time limit
    (cd "$out" && timeout 300 "$program" "$@" 2>"$work/stderr" </dev/null)
    status=$?
}

said() { grep -qF -- "$1" "$work/stderr"; }
silent() { test ! -s "$work/stderr"; }
sums() { (cd "$in" && find . -type f -print0 | sort -z | xargs -0 md5sum); }

# What every case must show: exit code 1 (not a signal, not the time limit), no sanitizer
# report, and not one input file changed.
ended_well() {  # ended_well NAME
    check "$1: exit code 1 (was $status)" test "$status" -eq 1
    check "$1: no sanitizer report" bash -c "! grep -q 'Sanitizer\|runtime error' '$work/stderr'"
    check "$1: inputs unchanged" test "$(sums)" = "$before"
}

# Runs the rest of the line with at most KB of address space; a sanitized build reserves
# far more than that for itself, so there the limit is left out.
within() {  # within KB COMMAND...
    local kb="$1"
    shift
    if ((sanitized)); then
        "$@"
    else
        (ulimit -v "$kb" && "$@")
    fi
}

# The inputs.
head -c 1048576 /dev/urandom >"$in/binary.bin"
head -c 100000000 /dev/zero | tr '\0' 'a' >"$in/single_line.txt"
printf 'x\r\n' >>"$in/single_line.txt"
head -c 5000 /dev/zero | tr '\0' '\r' >"$in/only_cr.txt"
printf '\x1Ahidden\r\nafter the end\r\n' >"$in/ctrl_z_first.txt"
printf 'Lettre\r\n' >"$in/letter.txt"
yes 'une ligne de texte pour remplir le fichier de sortie' | head -40000 |
    sed 's/$/\r/' >"$in/long.txt"
mkdir "$in/folder.txt"
printf 'locked\r\n' >"$in/locked.txt"
chmod 000 "$in/locked.txt"
printf 'Text line one\r\nsecond line\r\n' >"$in/not_a_table.glk"
printf 'CHAR\r\n- ab\r\n+ bbaa\r\n' >"$in/endless.glk"
printf 'HEXA\r\n- 41\r\n+ 4G\r\n' >"$in/bad_code.glk"
printf 'CHAR\r\n- x\r\n+ y\r\n' >"$in/x_to_y.glk"
printf 'CHAR\r\n- ax\r\n+ y\r\n' >"$in/ax_to_y.glk"
printf 'ok\r\nxaab\r\n' >"$in/grows.txt"
ln -s "$in/letter.txt" "$out/alias.txt"
ln "$in/letter.txt" "$in/hard.txt"
before="$(sums)"

# A binary file converts byte for byte, silently: NUL ends a line's text in the code page
# ways, so the table way is the one that keeps every byte.
run "$in/binary.bin" binary.out W R
ended_well "binary, code page"
check "binary, code page: silent" silent
run "$in/binary.bin" binary.tab "A$in/x_to_y.glk" R
ended_well "binary, table"
check "binary, table: silent" silent
# The same bytes as the text file layer sees them: data up to the first Ctrl-Z, CR or CR LF
# ending each line, every line written with CR LF.
check "binary, table: every byte kept" cmp -s "$out/binary.tab" <(perl -0777 -pe \
    's/\x1A.*//s; tr/x/y/; s/\r\n?/\r\n/g; $_ .= "\r\n" if length && !/\r\n\z/' \
    "$in/binary.bin")

# A 100 MB line: memory grows with the line, and it comes out whole.
run "$in/single_line.txt" single.out W R
ended_well "100 MB line, code page"
check "100 MB line, code page: silent" silent
check "100 MB line: whole" test "$(stat -c %s "$out/single.out")" -eq 100000003
run "$in/single_line.txt" single.tab "A$in/x_to_y.glk" R
ended_well "100 MB line, table"
check "100 MB line, table: replaced at its end" bash -c "tail -c 3 '$out/single.tab' | grep -q '^y'"
rm -f "$out/single.out" "$out/single.tab"

# Only CR bytes: each is an empty line.
run "$in/only_cr.txt" only_cr.out D R
ended_well "only CR"
check "only CR: CR LF per line" cmp -s "$out/only_cr.out" <(for ((i = 0; i < 5000; i++)); do printf '\r\n'; done)

# Ctrl-Z first: no data at all.
run "$in/ctrl_z_first.txt" ctrl_z.out W R
ended_well "Ctrl-Z first"
check "Ctrl-Z first: silent" silent
check "Ctrl-Z first: empty output" test -f "$out/ctrl_z.out" -a ! -s "$out/ctrl_z.out"

# Unreadable inputs.
# A folder as the input is a folder run (tests/app/folder_test.sh): here an empty one.
run "$in/folder.txt" folder.out W R
ended_well "folder as input"
check "folder as input: silent" silent
check "folder as input: an output folder" test -d "$out/folder.out"
if command -v setpriv >/dev/null && setpriv --reuid=nobody --regid=nogroup --clear-groups \
    test -x "$program" 2>/dev/null && [[ "$(id -u)" -eq 0 ]]; then
    chmod 755 "$work" "$in"
    chmod 777 "$out"
    (cd "$out" && timeout 60 setpriv --reuid=nobody --regid=nogroup --clear-groups \
        "$program" "$in/locked.txt" locked.out W R 2>"$work/stderr" </dev/null)
    status=$?
    ended_well "unreadable input"
    check "unreadable input: said" said "locked.txt: File access denied."
    check "unreadable input: no output" test ! -e "$out/locked.out"
elif [[ "$(id -u)" -ne 0 ]]; then
    run "$in/locked.txt" locked.out W R
    ended_well "unreadable input"
    check "unreadable input: said" said "locked.txt: File access denied."
else
    skip "unreadable input (no setpriv, or the program is out of reach of nobody)"
fi

# An output in a folder that does not exist, directly or through a dangling link.
run "$in/letter.txt" "$out/missing/letter.out" W R
ended_well "missing folder"
check "missing folder: said" said "missing/letter.out: Invalid filename."
check "missing folder: not made" test ! -e "$out/missing"
ln -s missing/target.out "$out/dangling.out"
run "$in/letter.txt" dangling.out W R
ended_well "dangling link, folder missing"
check "dangling link, folder missing: said" said "dangling.out: Invalid filename."
check "dangling link, folder missing: still a dangling link" test -L "$out/dangling.out" -a ! -e "$out/missing"

# The file layer's own words in French too.
mkdir "$work/fr"
cp "$program" "$work/fr/glossek"
printf 'FR\r\n' >"$work/fr/GLK32.LNG"
(cd "$out" && timeout 60 "$work/fr/glossek" "$in/letter.txt" "$out/missing/letter.out" W R \
    2>"$work/stderr" </dev/null)
status=$?
ended_well "missing folder, French"
check "missing folder, French: said" said "missing/letter.out: Nom de fichier incorrect."
(cd "$out" && timeout 60 "$work/fr/glossek" "$in/letter.txt" "$in/hard.txt" W R \
    2>"$work/stderr" </dev/null)
status=$?
ended_well "output is the input, French"
check "output is the input, French: said" said "hard.txt: Erreur d'E/S 32."

# A byte order mark that a pipe brings in two reads is dropped as one read whole.
{ printf '\xEF'; sleep 0.3; printf '\xBB\xBFcaf\xC3\xA9\r\n'; } |
    (cd "$out" && GLOSSEK_OEMCP=850 GLOSSEK_ANSICP=65001 timeout 60 "$program" /dev/stdin bom.out D R \
        2>"$work/stderr")
status=$?
ended_well "byte order mark in two reads"
check "byte order mark in two reads: dropped" cmp -s "$out/bom.out" <(printf 'caf\x82\r\n')

# The output is the input under another name: refused before anything is touched.
for other in "$in/letter.txt" alias.txt "$in/hard.txt" "$in/./letter.txt" "$in/../in/letter.txt"; do
    run "$in/letter.txt" "$other" W R
    ended_well "output is the input as $other"
    check "output is the input as $other: code 32" said "I/O error 32"
done

# A write that fails part-way (a file-size limit): said, and the old output kept whole.
printf 'old output\r\n' >"$out/long.out"
(cd "$out" && ulimit -f 64 && timeout 60 "$program" "$in/long.txt" long.out W R \
    2>"$work/stderr" </dev/null)
status=$?
ended_well "write failure part-way"
check "write failure part-way: said" said "long.out: Disk write error: the file is too large for the system."
check "write failure part-way: old output kept" test "$(cat "$out/long.out")" = $'old output\r'
check "write failure part-way: nothing left behind" test -z "$(ls -A "$out" | grep glossek)"
rm -f "$out/long.out"

# Tables that cannot be used: nothing is converted.
run "$in/letter.txt" not_a_table.out "A$in/not_a_table.glk" R
ended_well "not a table"
check "not a table: said" said "This is not a conversion table"
check "not a table: no output" test ! -e "$out/not_a_table.out"
run "$in/letter.txt" bad_code.out "A$in/bad_code.glk" R
ended_well "bad code in a table"
check "bad code in a table: said with the table, the row and the side" \
    said "bad_code.glk: row 1, side \"Replaced by\": '4G' is not a code"
check "bad code in a table: no output" test ! -e "$out/bad_code.out"

# A table file far too large for a table: refused at once, with little memory.
{
    printf 'CHAR\r\n'
    yes -- $'- ab\r\n+ ba\r' | head -c 40000000
} >"$in/huge.glk"
before="$(sums)"
(cd "$out" && within 400000 timeout 60 "$program" "$in/letter.txt" huge.out "A$in/huge.glk" R \
    2>"$work/stderr" </dev/null)
status=$?
ended_well "40 MB table"
check "40 MB table: said" said "huge.glk: A conversion table file holds at most 1 MiB"
check "40 MB table: no output" test ! -e "$out/huge.out"
# One just under the limit, of empty pairs (the most records for its size): loaded and used.
{
    printf 'CHAR\r\n'
    yes -- $'- \r\n+ \r' | head -c $((1048576 / 8 * 8 - 8))
} >"$in/full.glk"
before="$(sums)"
(cd "$out" && within 400000 timeout 120 "$program" "$in/letter.txt" full.out "A$in/full.glk" R \
    2>"$work/stderr" </dev/null)
status=$?
ended_well "table at the size limit"
check "table at the size limit: silent" silent
check "table at the size limit: converted" cmp -s "$out/full.out" "$in/letter.txt"

# Memory that runs out on a line too long for it: said with the line and its size, and the
# old output kept. A table of two-byte searches needs the whole line; the code page ways
# and a table of one-byte pairs need none: the same line goes through them.
if ((sanitized)); then
    skip "out of memory (a sanitized build cannot run under a memory limit)"
else
    printf 'old output\r\n' >"$out/memory.out"
    (cd "$out" && within 250000 timeout 60 "$program" "$in/single_line.txt" memory.out \
        "A$in/ax_to_y.glk" R 2>"$work/stderr" </dev/null)
    status=$?
    ended_well "out of memory"
    check "out of memory: said with the line" said "single_line.txt: Not enough memory to convert line 1, of "
    check "out of memory: old output kept" test "$(cat "$out/memory.out")" = $'old output\r'
    check "out of memory: nothing left behind" test -z "$(ls -A "$out" | grep glossek)"
    (cd "$out" && within 250000 timeout 60 "$program" "$in/single_line.txt" memory.out W R \
        2>"$work/stderr" </dev/null)
    status=$?
    ended_well "100 MB line in little memory, code page"
    check "100 MB line in little memory, code page: silent" silent
    check "100 MB line in little memory, code page: whole" test "$(stat -c %s "$out/memory.out")" -eq 100000003
    (cd "$out" && within 250000 timeout 60 "$program" "$in/single_line.txt" memory.out \
        "A$in/x_to_y.glk" R 2>"$work/stderr" </dev/null)
    status=$?
    ended_well "100 MB line in little memory, one-byte table"
    check "100 MB line in little memory, one-byte table: silent" silent
    check "100 MB line in little memory, one-byte table: whole" test "$(stat -c %s "$out/memory.out")" -eq 100000003
    check "100 MB line in little memory, one-byte table: replaced at its end" \
        test "$(tail -c 3 "$out/memory.out" | od -An -c | tr -d ' ')" = 'y\r\n'
    rm -f "$out/memory.out"
fi

# Names as the file system spells them: UTF-8 shown as such, control characters escaped;
# the program's own words in UTF-8 too.
run "$in/été.txt" x.out W R
ended_well "UTF-8 name"
check "UTF-8 name: shown as spelled" said "/été.txt: File does not exist or 'Input file' area empty."
run "$in/"$'\e]2;owned\a'"x.txt" x.out W R
ended_well "name with control characters"
check "name with control characters: escaped" said '/\x1B]2;owned\x07x.txt: File does not exist'
check "name with control characters: no escape byte printed" bash -c "! grep -q $'\e' '$work/stderr'"

# Relative names when the folder the program is started from cannot be known (deleted).
mkdir "$work/gone"
(cd "$work/gone" && rmdir "$work/gone" && timeout 60 "$program" letter.txt gone.out W R \
    2>"$work/stderr" </dev/null)
status=$?
ended_well "start folder deleted"
check "start folder deleted: said" said "glossek: letter.txt: The folder the program was started from cannot be known"
check "start folder deleted: nothing written beside the program" \
    test ! -e "$(dirname "$program")/gone.out"

# A table that stops a command-line conversion without a display: that reason, and that
# the window cannot open, nothing else.
run "$in/letter.txt" none.out "A$in/none.glk" R
ended_well "missing table, no display"
check "missing table, no display: two lines" test "$(wc -l <"$work/stderr")" -eq 2
check "missing table, no display: the table" said "NONE.GLK: Procedure halted: please check your conversion file"
check "missing table, no display: no window" said "glossek: No display: the window cannot open."

# A pair that never ends is stopped past its budget, with its pair and line.
run "$in/grows.txt" grows.out "A$in/endless.glk" R
ended_well "endless pair"
check "endless pair: said with the input" said "grows.txt: Replacement pair 1 was stopped on line 2: the line grew past"
check "endless pair: the table named" said "glossek:     $in/endless.glk"

finish
