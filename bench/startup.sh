#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The start of a conversion: glossek on a 2 KB file against iconv on the same file, process
# start included, in paired rounds (each round runs both, alternately, so that a busy moment
# of the machine weighs on both alike). Prints the median of the rounds and the ratio.
# The files are on a tmpfs (/dev/shm, or TMPFS): glossek flushes its output to the disk
# before it renames it into place, which iconv does not, and on a disk that flush would
# be most of what is timed. Where there is no tmpfs, TMPDIR (/tmp) is used and said.
# Usage: bench/startup.sh [ROUNDS] [RUNS_PER_ROUND]   (defaults 15 and 40)
set -euo pipefail
rounds="${1:-15}"
runs="${2:-40}"
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
program_to_time

folder="${TMPFS:-/dev/shm}"
if [[ "$(stat -f -c %T "$folder" 2>/dev/null)" != tmpfs ]]; then
    echo "note: $folder is no tmpfs; timing on ${TMPDIR:-/tmp}, flush to the disk included" >&2
    folder="${TMPDIR:-/tmp}"
fi
work="$(mktemp -d "$folder/glossek-start.XXXXXX")"
trap 'rm -rf "$work"' EXIT
python3 "$here/make_text.py" 1 "$work/big.txt"
head -c 2048 "$work/big.txt" >"$work/small.txt"
export GLOSSEK_OEMCP=850 GLOSSEK_ANSICP=1252

batch() {  # batch TOOL: milliseconds per run over $runs runs
    local start end i
    start=$EPOCHREALTIME
    if [[ "$1" == glossek ]]; then
        for ((i = 0; i < runs; ++i)); do "$glossek" "$work/small.txt" "$work/out.txt" W R || true; done  # exit code 1 always
    else
        for ((i = 0; i < runs; ++i)); do iconv -f CP850 -t CP1252 "$work/small.txt" >"$work/out.iconv"; done
    fi
    end=$EPOCHREALTIME
    awk -v a="$start" -v b="$end" -v n="$runs" 'BEGIN { printf "%.3f\n", (b - a) * 1000 / n }'
}

batch glossek >/dev/null
batch iconv >/dev/null
mine=()
theirs=()
for ((r = 0; r < rounds; ++r)); do
    if ((r % 2)); then
        theirs+=("$(batch iconv)")
        mine+=("$(batch glossek)")
    else
        mine+=("$(batch glossek)")
        theirs+=("$(batch iconv)")
    fi
done
median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
m=$(median "${mine[@]}")
t=$(median "${theirs[@]}")
echo "2 KB file on $folder, median of $rounds rounds of $runs runs each (process start included)"
printf '%-10s %8.3f ms per run\n' glossek "$m" iconv "$t"
awk -v a="$m" -v b="$t" 'BEGIN { r = a / b
    printf "glossek / iconv %6.2f  (target <= 0.8) %s\n", r, (r <= 0.8 ? "ok" : "MISSED") }'
