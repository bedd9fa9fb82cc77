#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Replacement pairs through the real program in command-line mode. Pairs that come to an end
# give their result byte for byte, however long the line or the cascade; pairs that go past
# their budget are stopped with a message that names the budget, the pair and the line, in
# English and in French.
# Usage: replacement_guard_test.sh PATH/TO/glossek
source "$(dirname "${BASH_SOURCE[0]}")/checks.sh"
program="$1"

# A copy of the program in a folder of its own, where its language file can be written.
mkdir "$work/bin"
cp "$program" "$work/bin/glossek"

run() {  # run INPUT OUTPUT TABLE: batch mode from the work folder, with a time limit
    (cd "$work" && timeout 900 "$work/bin/glossek" "$1" "$2" "A$3" R 2>"$work/stderr" </dev/null)
    status=$?
}

said() { grep -qF -- "$1" "$work/stderr"; }
silent() { test ! -s "$work/stderr"; }
same() { cmp -s "$work/$1" "$work/$2"; }

ended() {  # ended NAME: exit code 1 (not a signal, not the time limit), no sanitizer report
    check "$1: exit code 1 (was $status)" test "$status" -eq 1
    check "$1: no sanitizer report" bash -c "! grep -q 'Sanitizer\|runtime error' '$work/stderr'"
}

converted() {  # converted NAME OUTPUT EXPECTED: ended, silently, with the expected bytes
    ended "$1"
    check "$1: silent" silent
    check "$1: output byte for byte" same "$2" "$3"
}

# Tables: CHAR or HEXA, then "- search" and "+ replacement" lines, all with CR LF.
printf 'HEXA\r\n- 0A\r\n+ 0D 0A\r\n' >"$work/lf.glk"
printf 'CHAR\r\n- ba\r\n+ ab\r\n' >"$work/swap.glk"
printf 'HEXA\r\n- 00 00\r\n+ 00\r\n' >"$work/nul.glk"
printf 'CHAR\r\n- x\r\n+ y\r\n- ab\r\n+ bbaa\r\n' >"$work/grows.glk"

# A Unix file (LF alone) is one line here: 66 MB of it, LF -> CR LF, which goes through the
# marker word. sed gives the same, and the program ends the one line with CR LF.
yes 'une ligne de texte Unix, sans CR' | head -n 2000000 >"$work/unix.txt"
{ sed 's/$/\r/' "$work/unix.txt"; printf '\r\n'; } >"$work/unix.expected"
run unix.txt unix.out lf.glk
converted "LF -> CR LF on a 66 MB line" unix.out unix.expected
rm -f "$work/unix.txt" "$work/unix.out" "$work/unix.expected"

# The swap ba -> ab: 25 million replacements, each 'a' passing every 'b'.
{ head -c 5000 /dev/zero | tr '\0' b; head -c 5000 /dev/zero | tr '\0' a; printf '\r\n'; } \
    >"$work/swap.txt"
{ head -c 5000 /dev/zero | tr '\0' a; head -c 5000 /dev/zero | tr '\0' b; printf '\r\n'; } \
    >"$work/swap.expected"
run swap.txt swap.out swap.glk
converted "swap on b^5000 a^5000" swap.out swap.expected

# A line over 1 GiB (NUL bytes, sparse on disk) that a pair shortens to one byte.
available_kb=$(awk '/^MemAvailable:/ { print $2 }' /proc/meminfo)
free_kb=$(df -Pk "$work" | awk 'NR == 2 { print $4 }')
if ((available_kb < 6 * 1024 * 1024)); then
    skip "line over 1 GiB (less than 6 GiB of memory available)"
elif ! truncate -s 1100M "$work/huge.txt" 2>/dev/null || ((free_kb < 2 * 1024 * 1024)); then
    skip "line over 1 GiB (no room on disk)"
else
    printf 'xyz\r\n' >>"$work/huge.txt"
    printf '\0xyz\r\n' >"$work/huge.expected"
    run huge.txt huge.out nul.glk
    converted "1.1 GiB line, 00 00 -> 00" huge.out huge.expected
    rm -f "$work/huge.txt" "$work/huge.out"
fi

# A cascade that keeps growing: stopped for growth, in seconds, with the budget's figure
# (2 x 4 + 4 x 4 / 2 bytes for the line "xaab", plus 64 MiB), the pair and the line.
printf 'ok\r\nfine\r\nxaab\r\n' >"$work/grows.txt"
start=$SECONDS
run grows.txt grows.out grows.glk
ended "growing cascade"
check "growing cascade: within 60 s" test $((SECONDS - start)) -lt 60
check "growing cascade: said" said \
    "Replacement pair 2 was stopped on line 3: the line grew past 67108880 bytes"
check "growing cascade: the input named" said "glossek: $work/grows.txt: Replacement pair 2"
check "growing cascade: the table named" said "glossek:     $work/grows.glk"

printf 'FR\r\n' >"$work/bin/GLK32.LNG"
run grows.txt grows.out grows.glk
ended "growing cascade, French"
check "growing cascade, French: said" said \
    "Le couple de remplacement 2 a été arrêté à la ligne 3 : la ligne a dépassé 67108880 octets"
rm -f "$work/bin/GLK32.LNG"

# Pairs that each keep within their own budget but together multiply the line: stopped past
# the whole table's budget, 256 MiB for a short line, the old output kept. 29 pairs a -> aa
# double the line "a" 29 times; 55,576 random pairs of one to three bytes a side (a 1 MB
# table) make it explode; both stop within seconds.
{
    printf 'CHAR\r\n'
    for ((i = 0; i < 29; i++)); do printf -- '- a\r\n+ aa\r\n'; done
} >"$work/doubling.glk"
printf 'a\r\n' >"$work/a.txt"
printf 'old output\r\n' >"$work/kept.out"
start=$SECONDS
run a.txt kept.out doubling.glk
ended "whole table"
check "whole table: within 30 s" test $((SECONDS - start)) -lt 30
check "whole table: said" said "glossek: $work/a.txt: Replacement pair 29 was stopped on line 1: across the pairs of the table the line grew past 268435456 bytes"
check "whole table: the table named" said "glossek:     $work/doubling.glk"
check "whole table: old output kept" test "$(cat "$work/kept.out")" = $'old output\r'
python3 - "$work/random.glk" <<'PY'
import random, sys
r = random.Random(18)
sides = [' '.join('%02X' % r.randrange(0x20, 0x7B) for _ in range(r.randint(1, 3)))
         for _ in range(2 * 55576)]
rows = ['HEXA'] + [('- ' if k % 2 == 0 else '+ ') + side for k, side in enumerate(sides)]
open(sys.argv[1], 'wb').write(('\r\n'.join(rows) + '\r\n').encode())
PY
printf 'abc\r\n' >"$work/abc.txt"
start=$SECONDS
run abc.txt kept.out random.glk
ended "55,576 random pairs"
check "55,576 random pairs: a 1 MB table" test "$(stat -c %s "$work/random.glk")" -gt 900000
check "55,576 random pairs: within 60 s" test $((SECONDS - start)) -lt 60
check "55,576 random pairs: said" said "the line grew past 268435456 bytes, the most a line may reach"
check "55,576 random pairs: old output kept" test "$(cat "$work/kept.out")" = $'old output\r'
printf 'FR\r\n' >"$work/bin/GLK32.LNG"
run a.txt kept.out doubling.glk
check "whole table, French: said" said \
    "Le couple de remplacement 29 a été arrêté à la ligne 1 : au fil des couples du tableau, la ligne a dépassé 268435456 octets"
rm -f "$work/bin/GLK32.LNG"

# Under a small memory control group of its own, the same table stops at the memory the
# group leaves, read when the run starts: the out-of-memory message, not a kill.
make_memory_group() {  # make_memory_group MB: sets $group, or fails where none can be made
    local line limit_file
    if line="$(grep -E '^0::' /proc/self/cgroup)" && [[ -f /sys/fs/cgroup/cgroup.controllers ]]; then
        group="/sys/fs/cgroup${line#0::}"
        limit_file=memory.max
    elif line="$(grep -E '^[0-9]+:([^:]*,)?memory(,[^:]*)?:' /proc/self/cgroup)"; then
        group="/sys/fs/cgroup/memory${line##*:}"
        limit_file=memory.limit_in_bytes
    else
        return 1
    fi
    group="${group%/}/glossek-test-$$"
    mkdir "$group" 2>/dev/null || return 1
    echo $(($1 * 1024 * 1024)) >"$group/$limit_file" 2>/dev/null || { rmdir "$group"; return 1; }
}
if make_memory_group 400; then
    (cd "$work" && sh -c 'echo $$ >"$1/cgroup.procs" && shift && exec "$@"' sh "$group" \
        timeout 300 "$work/bin/glossek" a.txt kept.out Adoubling.glk R 2>"$work/stderr" </dev/null)
    status=$?
    rmdir "$group"
    ended "memory of a small control group"
    check "memory of a small control group: said" \
        said "a.txt: Not enough memory to convert line 1, of 8"
    check "memory of a small control group: old output kept" test "$(cat "$work/kept.out")" = $'old output\r'
else
    skip "memory of a small control group (none can be made here)"
fi

# A pair that neither grows nor shrinks the line, past the count budget: the swap on
# b^33000 a^33000 needs 1089 million replacements, more than the 2^30 allowed.
{ head -c 33000 /dev/zero | tr '\0' b; head -c 33000 /dev/zero | tr '\0' a; printf '\r\n'; } \
    >"$work/long_swap.txt"
run long_swap.txt long_swap.out swap.glk
ended "count budget"
check "count budget: said" said \
    "Replacement pair 1 was stopped on line 1 after 1073741824 replacements"

finish
