#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# A conversion stopped part-way by SIGINT (Ctrl+C), SIGTERM or SIGHUP: the program ends
# killed by that signal, the old output stays exactly as it was and no temporary file is
# left. The input is a pipe that this script feeds, so the program is surely in the middle
# of its work, output file open, when the signal comes. A signal during the copy of an
# output written in place waits for the copy's end.
# Usage: signal_test.sh PATH/TO/glossek
source "$(dirname "${BASH_SOURCE[0]}")/checks.sh"
program="$1"

# A script's background job ignores SIGINT; the program is started with the default
# actions, as from a terminal (an ignored signal stays ignored: see the last case). Both
# launchers replace themselves by the program, so that $! is the program.
with_default_signals=(perl -e '$SIG{$_} = "DEFAULT" for qw(INT TERM HUP); exec @ARGV or die')

temporary_file_there() { compgen -G "$work/out/.result.txt.glossek-*" >/dev/null; }

start() {  # start LAUNCHER...: the program converting from the pipe, fed 1 MB so far
    rm -rf "$work/out" "$work/in.fifo"
    mkdir "$work/out"
    mkfifo "$work/in.fifo"
    printf 'old output\r\n' >"$work/out/result.txt"
    "$@" "$program" "$work/in.fifo" "$work/out/result.txt" W R 2>"$work/stderr" </dev/null &
    pid=$!
    exec 3>"$work/in.fifo"
    yes 'une ligne de texte' | head -c 1000000 | sed 's/$/\r/' >&3
    for ((i = 0; i < 200; i++)); do
        temporary_file_there && break
        sleep 0.05
    done
}

for signal in INT TERM HUP; do
    start "${with_default_signals[@]}"
    check "SIG$signal: a temporary file while converting" temporary_file_there
    check "SIG$signal: the old output meanwhile" test "$(cat "$work/out/result.txt")" = $'old output\r'
    kill -s "$signal" "$pid"
    wait "$pid" 2>/dev/null  # bash would say "Hangup" and the like
    status=$?
    exec 3>&-
    check "SIG$signal: killed by it (status $status)" test "$status" -eq $((128 + $(kill -l "$signal")))
    check "SIG$signal: old output intact" test "$(cat "$work/out/result.txt")" = $'old output\r'
    check "SIG$signal: no temporary file left" test "$(ls -A "$work/out")" = result.txt
done

# An output with another hard link is copied in place, its old content kept aside until the
# new one is on the disk: a signal that comes during the copy waits for its end, so the
# program ends killed by it with the file whole and new, under both its names.
rm -rf "$work/out"
mkdir "$work/out"
yes 'une ligne de texte' | head -c 100000000 | sed 's/$/\r/' >"$work/big.txt"
"$program" "$work/big.txt" "$work/expected.txt" W R </dev/null
head -c 100000000 /dev/zero >"$work/out/result.txt"
ln "$work/out/result.txt" "$work/other.txt"
"${with_default_signals[@]}" "$program" "$work/big.txt" "$work/out/result.txt" W R \
    2>"$work/stderr" </dev/null &
pid=$!
for ((i = 0; i < 2000; i++)); do
    (($(compgen -G "$work/out/.result.txt.glossek-*" | wc -l) >= 2)) && break
    sleep 0.005
done
check "in place: the old content kept aside while it is copied" \
    test "$(compgen -G "$work/out/.result.txt.glossek-*" | wc -l)" -eq 2
kill -s TERM "$pid"
wait "$pid" 2>/dev/null
status=$?
check "in place, SIGTERM during the copy: killed by it (status $status)" test "$status" -eq 143
check "in place, SIGTERM during the copy: the new content whole" \
    cmp -s "$work/out/result.txt" "$work/expected.txt"
check "in place, SIGTERM during the copy: under the other name too" \
    cmp -s "$work/other.txt" "$work/expected.txt"
check "in place, SIGTERM during the copy: no temporary file left" \
    test "$(ls -A "$work/out")" = result.txt
rm -f "$work/big.txt" "$work/expected.txt" "$work/other.txt"

# Started with SIGHUP ignored (nohup): the conversion goes on to its end.
start nohup
kill -s HUP "$pid"
printf 'the end\r\n' >&3
exec 3>&-
wait "$pid"
status=$?
check "ignored SIGHUP: exit code 1 (was $status)" test "$status" -eq 1
check "ignored SIGHUP: converted to the end" bash -c "tail -c 9 '$work/out/result.txt' | grep -q 'the end'"
check "ignored SIGHUP: no temporary file left" test "$(ls -A "$work/out")" = result.txt

finish
