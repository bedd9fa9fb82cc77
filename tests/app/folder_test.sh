#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Whole folders through the real program in batch mode: what each kind of file becomes, the
# report in the order of the paths, times and permission bits kept, the folders refused
# before anything is written, files that cannot be read, a full disk and a signal part-way.
# Usage: folder_test.sh PATH/TO/glossek PATH/TO/fault_injection.so [SANITIZED] [PRELOADABLE]
# (PRELOADABLE: a dynamic build of the program, for the run with the library preloaded)
source "$(dirname "${BASH_SOURCE[0]}")/checks.sh"
program="$1"
shim="$2"
preloadable="${4:-$1}"
if [[ "${3:-0}" == 1 || "${3:-0}" == ON || "${3:-0}" == TRUE ]]; then
    export ASAN_OPTIONS="${ASAN_OPTIONS:-}:verify_asan_link_order=0"
fi
export GLOSSEK_OEMCP=850 GLOSSEK_ANSICP=1252

run() {  # runs the program in $work; its exit code, standard output and error are kept
    (cd "$work" && timeout 120 "$program" "$@" >"$work/stdout" 2>"$work/stderr")
    status=$?
}
no_temporary() { ! find "$work" -name '.*.glossek-*' | grep -q .; }
dos_text() {  # dos_text LINES: French DOS text
    for ((i = 0; i < $1; i++)); do printf 'Le comit\x82 a d\x82cid\x82 de reporter la r\x82union %d.\r\n' "$i"; done
}

in="$work/in"
mkdir -p "$in/sub/deeper" "$in/empty folder"
dos_text 40 >"$in/a.txt"
iconv -f CP850 -t CP1252 "$in/a.txt" >"$in/sub/windows.txt"
iconv -f CP850 -t UTF-8 "$in/a.txt" >"$in/sub/deeper/utf8.txt"
printf '\x89PNG\r\n\x1a\n\0\0\0\rIHDR' >"$in/sub/image.png"
printf 'plain\r\n' >"$in/plain.txt"
: >"$in/zero.txt"
ln -s a.txt "$in/link.txt"
dos_text 3 >"$in/$(printf 'bad\x1b[2Jname')"
mkfifo "$in/pipe"
chmod 640 "$in/a.txt"
touch -d '2001-02-03 04:05:06' "$in/a.txt"

GLOSSEK_REPORT=1 run in out W R
check "exit code 1" test "$status" -eq 1
expected_report=$'converted\t0\t-\ta.txt
converted\t0\t-\tbad\\x1B[2Jname
failed\t0\t-\tpipe
converted\t0\t-\tplain.txt
copied-binary\t0\t-\tsub/image.png
skipped-link\t0\t-\tlink.txt
copied-target\t0\t-\tsub/deeper/utf8.txt
copied-target\t0\t-\tsub/windows.txt
converted\t0\t-\tzero.txt'
check "one report line a file, in the order of the paths" \
    test "$(sort <"$work/stdout")" = "$(sort <<<"$expected_report")"
check "report in the walk's order" test "$(cut -f4 "$work/stdout" | head -4 | tr '\n' ' ')" = \
    'a.txt bad\x1B[2Jname link.txt pipe '
check "the pipe said" grep -q "pipe: Not a regular file" "$work/stderr"
check "summary" grep -q "glossek: 9 files: 4 converted, 2 already Windows text, 1 binary, 1 link skipped, 1 failed" "$work/stderr"
iconv -f CP850 -t CP1252 "$in/a.txt" >"$work/expected.txt"
check "converted as one file is" cmp -s "$work/out/a.txt" "$work/expected.txt"
check "Windows text copied as it is" cmp -s "$work/out/sub/windows.txt" "$in/sub/windows.txt"
check "UTF-8 copied as it is" cmp -s "$work/out/sub/deeper/utf8.txt" "$in/sub/deeper/utf8.txt"
check "binary copied as it is" cmp -s "$work/out/sub/image.png" "$in/sub/image.png"
check "no output for the link" test ! -e "$work/out/link.txt" -a ! -L "$work/out/link.txt"
check "time kept" test "$(stat -c %Y "$work/out/a.txt")" = "$(stat -c %Y "$in/a.txt")"
check "permission bits kept" test "$(stat -c %a "$work/out/a.txt")" = 640
check "no temporary file left" no_temporary

# Silent without the report, but for what failed.
rm -rf "$work/out"
run in out W R
check "nothing on standard output without the report" test ! -s "$work/stdout"
check "only the failure said" test "$(wc -l <"$work/stderr")" -eq 1

# Windows to DOS: DOS text is the target, Windows text the source.
GLOSSEK_REPORT=1 run in back D R
check "W to D: DOS text copied" grep -qP '^copied-target\t0\t-\ta.txt$' "$work/stdout"
check "W to D: Windows text converted back" cmp -s "$work/back/sub/windows.txt" "$in/a.txt"
check "W to D summary" grep -q "2 already DOS text" "$work/stderr"

# The table way converts every file that is not binary.
printf 'CHAR\r\n- comit\r\n+ COMIT\r\n' >"$work/t.glk"
GLOSSEK_REPORT=1 run in table At.glk R
check "table way converts Windows text too" grep -qP '^converted\t0\t-\tsub/windows.txt$' "$work/stdout"
check "table way copies binary data" grep -qP '^copied-binary\t0\t-\tsub/image.png$' "$work/stdout"
check "table summary without a target" grep -q "1 binary, 1 link skipped, 1 failed" "$work/stderr"

# Folders refused before anything is written.
for args in "in in" "in in/inner" "in/sub in" "in in/a.txt"; do
    run $args W R
    check "refused: $args" grep -q "folder" "$work/stderr"
done
check "nothing made inside the input" test ! -e "$in/inner"
printf 'CHAR\r\n- a\r\n+ b\r\n' >"$work/out/t.glk"
run in out Aout/t.glk R
check "a table in the output folder is refused" grep -q "conversion file must be different" "$work/stderr"

# Files and folders that cannot be read, as an ordinary user: said, and the rest converted.
if command -v setpriv >/dev/null && id nobody >/dev/null 2>&1; then
    chmod -R a+rwX "$work"
    chmod 000 "$in/plain.txt" "$in/sub/deeper"
    (cd "$work" && setpriv --reuid=nobody --regid=nogroup --clear-groups \
        timeout 60 "$program" in mine W R >"$work/stdout" 2>"$work/stderr")
    check "unreadable file said" grep -q "plain.txt: File access denied" "$work/stderr"
    check "unreadable folder said" grep -q "sub/deeper: File access denied" "$work/stderr"
    check "the rest converted" cmp -s "$work/mine/a.txt" "$work/expected.txt"
    chmod 755 "$in/sub/deeper"
    chmod 644 "$in/plain.txt"
else
    skip "no setpriv or no user nobody: unreadable files not tried"
fi

# A full disk stops the run: said, every output there complete, no temporary file left.
mkdir -p "$work/many"
for ((k = 0; k < 30; k++)); do dos_text 200 >"$work/many/$(printf 'f%02d.txt' "$k")"; done
dos_text 200 | iconv -f CP850 -t CP1252 >"$work/one.txt"
(cd "$work" && LD_PRELOAD="$shim" GLOSSEK_FAULT_CALL=write GLOSSEK_FAULT_AT=12 GLOSSEK_FAULT_ERRNO=28 \
    timeout 60 "$preloadable" many full W R >"$work/stdout" 2>"$work/stderr")
check "full disk said" grep -q "disk is full" "$work/stderr"
made=$(find "$work/full" -type f | wc -l)
check "full disk stops the run ($made of 30 made)" test "$made" -lt 30
complete=1
for file in "$work/full"/*; do cmp -s "$file" "$work/one.txt" || complete=0; done
check "every output there is complete" test "$complete" -eq 1
check "no temporary file left after a full disk" no_temporary

# SIGTERM part-way: killed by it, finished outputs complete, no temporary file left. The
# run would end in a few milliseconds: each rename is held 50 ms, so the signal surely comes
# part-way.
for ((k = 30; k < 400; k++)); do cp "$work/many/f00.txt" "$work/many/$(printf 'f%03d.txt' "$k")"; done
(cd "$work" && LD_PRELOAD="$shim" GLOSSEK_FAULT_CALL=rename GLOSSEK_FAULT_DELAY_MS=50 \
    exec "$preloadable" many stopped W R 2>/dev/null) &
pid=$!
for ((i = 0; i < 400; i++)); do
    (($(find "$work/stopped" -type f 2>/dev/null | wc -l) >= 20)) && break
    sleep 0.01
done
kill -TERM "$pid"
wait "$pid"
check "killed by SIGTERM" test "$?" -eq $((128 + 15))
complete=1
for file in "$work/stopped"/*; do cmp -s "$file" "$work/one.txt" || complete=0; done
check "every finished output complete after SIGTERM" test "$complete" -eq 1
check "stopped part-way" test "$(find "$work/stopped" -type f | wc -l)" -lt 400
check "no temporary file left after SIGTERM" no_temporary
finish
