#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Times glossek beside iconv, sed, cat and dd on one generated DOS text file (CP850, CR LF):
# best of 5 runs each (each after a sync, untimed), peak memory of every run, and a check of
# the outputs. glossek flushes its output to the disk before it renames it into place; dd
# conv=fsync shows what that costs for a plain copy on the same disk (iconv, sed and cat do
# not flush). The same DOS to Windows run and cat are timed again with their outputs on a
# tmpfs (/dev/shm), where a flush costs nothing: that ratio is the conversion's own speed.
# UTF-8 as the Windows page (65001) both ways, beside iconv to and from UTF-8, and on the
# tmpfs beside cat of the UTF-8 file (the bytes one way writes and the other reads). Then the
# same text as one line without any line end, 6 x SIZE_MB long (1.2 GB by default), DOS to
# Windows beside iconv: memory must not grow with the line. Last, a Unix file (LF alone, so
# one line for glossek) of 1.2 x SIZE_MB through the pair LF -> CR LF, beside sed, on the disk
# and on the tmpfs: its memory must not grow with the line either. glossek --info on the first
# file beside the conversion, and what it makes of the corpus of tests/pages.
# Usage: bench/run.sh [SIZE_MB]   (default 200; set TMPDIR to put the data elsewhere,
#        TMPFS to use another tmpfs folder than /dev/shm, and GLOSSEK to time another build
#        of the program, such as an older one, instead, and RUNS for another number of runs)
set -euo pipefail

size_mb="${1:-200}"
if ! [[ "$size_mb" =~ ^[0-9]+$ ]] || ((size_mb < 1)); then
    echo "usage: $0 [SIZE_MB]" >&2
    exit 2
fi
runs="${RUNS:-5}"

source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
need_gnu_time
for tool in iconv sed cat dd python3 cmake; do
    command -v "$tool" >/dev/null || { echo "$tool is missing" >&2; exit 2; }
done

program_to_time

work="$(mktemp -d "${TMPDIR:-/tmp}/glossek-bench.XXXXXX")"
shm=""
tmpfs="${TMPFS:-/dev/shm}"
if [[ "$(stat -f -c %T "$tmpfs" 2>/dev/null)" == tmpfs ]]; then
    shm="$(mktemp -d "$tmpfs/glossek-bench.XXXXXX")"
else
    echo "note: $tmpfs is no tmpfs; the rows with outputs on a tmpfs are left out" >&2
fi
trap 'rm -rf "$work" ${shm:+"$shm"}' EXIT

input="$work/input.txt"
python3 "$here/make_text.py" "$size_mb" "$input"
bytes=$(stat -c %s "$input")
long_input="$work/long.txt"
python3 "$here/make_text.py" --one-line "$((6 * size_mb))" "$long_input"
long_bytes=$(stat -c %s "$long_input")
# The same text with LF alone, ending on a line end, as one line of 1.2 x SIZE_MB.
unix="$work/unix.txt"
python3 - "$input" "$unix" "$size_mb" <<'EOF_UNIX'
import sys
text = open(sys.argv[1], "rb").read().replace(b"\r", b"")
size = int(sys.argv[3]) * 1_200_000
data = (text * (size // len(text) + 1))[:size]
open(sys.argv[2], "wb").write(data[: data.rfind(b"\n") + 1])
EOF_UNIX
unix_bytes=$(stat -c %s "$unix")
# The same text in UTF-8, for the way back from it.
utf8="$work/input.utf8"
iconv -f CP850 -t UTF-8 "$input" >"$utf8"
utf8_bytes=$(stat -c %s "$utf8")
printf 'HEXA\r\n- 0A\r\n+ 0D 0A\r\n' >"$work/lf.glk"
printf 'CHAR\r\n- cf.\r\n+ voir\r\n- env.\r\n+ environ\r\n- M.\r\n+ Monsieur\r\n' >"$work/three.glk"
cat "$input" >/dev/null  # warm the page cache
load=$(cut -d ' ' -f 1 /proc/loadavg)  # other work on the machine makes the figures noisy

export GLOSSEK_OEMCP=850 GLOSSEK_ANSICP=1252

# Each case: a key (its output is KEY.txt, in $shm for the keys ending in _shm), a name,
# and its command in cmd_KEY.
keys=(dw wd table info iconv sed cat dd)
[[ -n "$shm" ]] && keys+=(dw_shm cat_shm)
utf8_keys=(dw8 iconv8 wd8 iconv8back)
[[ -n "$shm" ]] && utf8_keys+=(dw8_shm iconv8_shm cat8_shm wd8_shm iconv8back_shm)
long_keys=(long_dw long_iconv)
lf_keys=(lf sedlf)
[[ -n "$shm" ]] && lf_keys+=(lf_shm sedlf_shm)
declare -A names=([dw]="glossek D->W" [wd]="glossek W->D" [table]="glossek table"
                  [info]="glossek --info"
                  [iconv]=iconv [sed]=sed [cat]=cat [dd]="dd fsync"
                  [dw_shm]="glossek D->W tmpfs" [cat_shm]="cat tmpfs"
                  [dw8]="glossek D->W" [iconv8]=iconv [wd8]="glossek W->D" [iconv8back]=iconv
                  [dw8_shm]="glossek D->W tmpfs" [iconv8_shm]="iconv tmpfs"
                  [cat8_shm]="cat UTF-8 tmpfs" [wd8_shm]="glossek W->D tmpfs"
                  [iconv8back_shm]="iconv back tmpfs" [lf_shm]="glossek LF tmpfs"
                  [sedlf_shm]="sed LF tmpfs"
                  [long_dw]="glossek D->W" [long_iconv]=iconv
                  [lf]="glossek LF" [sedlf]="sed LF")
# shellcheck disable=SC2034  # read through the nameref in run_once
{
    cmd_dw=("$glossek" "$input" "$work/dw.txt" W R)
    cmd_wd=("$glossek" "$input" "$work/wd.txt" D R)
    cmd_table=("$glossek" "$input" "$work/table.txt" "A$work/three.glk" R)
    cmd_info=("$glossek" --info "$input")
    cmd_iconv=(iconv -f CP850 -t CP1252 "$input")
    cmd_sed=(sed 's/cf\./voir/g' "$input")
    cmd_cat=(cat "$input")
    cmd_dd=(dd if="$input" of="$work/dd.txt" bs=64K conv=fsync status=none)  # removed before each run, as the others
    cmd_dw_shm=("$glossek" "$input" "$shm/dw_shm.txt" W R)
    cmd_cat_shm=(cat "$input")
    cmd_dw8=(env GLOSSEK_ANSICP=65001 "$glossek" "$input" "$work/dw8.txt" W R)
    cmd_iconv8=(iconv -f CP850 -t UTF-8 "$input")
    cmd_wd8=(env GLOSSEK_ANSICP=65001 "$glossek" "$utf8" "$work/wd8.txt" D R)
    cmd_iconv8back=(iconv -f UTF-8 -t CP850 "$utf8")
    cmd_dw8_shm=(env GLOSSEK_ANSICP=65001 "$glossek" "$input" "$shm/dw8_shm.txt" W R)
    cmd_iconv8_shm=(iconv -f CP850 -t UTF-8 "$input")
    cmd_cat8_shm=(cat "$utf8")
    cmd_wd8_shm=(env GLOSSEK_ANSICP=65001 "$glossek" "$utf8" "$shm/wd8_shm.txt" D R)
    cmd_iconv8back_shm=(iconv -f UTF-8 -t CP850 "$utf8")
    cmd_long_dw=("$glossek" "$long_input" "$work/long_dw.txt" W R)
    cmd_long_iconv=(iconv -f CP850 -t CP1252 "$long_input")
    cmd_lf=("$glossek" "$unix" "$work/lf.txt" "A$work/lf.glk" R)
    cmd_sedlf=(sed 's/$/\r/' "$unix")
    cmd_lf_shm=("$glossek" "$unix" "$shm/lf_shm.txt" "A$work/lf.glk" R)
    cmd_sedlf_shm=(sed 's/$/\r/' "$unix")
}
declare -A best rss

# One timed run; glossek always exits with 1, so only its messages tell a failure.
run_once() {
    local key="$1" name="${names[$1]}"
    local -n argv="cmd_$key"
    local folder="$work" start end
    [[ "$key" == *_shm ]] && folder="$shm"
    local stdout="$folder/$key.txt"
    rm -f "$stdout"
    [[ "$name" == glossek* ]] && stdout=/dev/null
    # What the run before left for the system to write is written now, untimed: a tool
    # that flushes its output would otherwise wait for the disk to write the others' too.
    sync
    start=$EPOCHREALTIME
    /usr/bin/time -f %M -o "$work/rss" "${argv[@]}" >"$stdout" 2>"$work/err" || true
    end=$EPOCHREALTIME
    if [[ -s "$work/err" ]]; then
        echo "$name failed:" >&2
        cat "$work/err" >&2
        exit 1
    fi
    local seconds kb
    seconds=$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.4f", b - a }')
    kb=$(tail -n 1 "$work/rss")
    if [[ -z "${best[$key]:-}" ]] ||
        awk -v s="$seconds" -v b="${best[$key]}" 'BEGIN { exit !(s < b) }'; then
        best[$key]=$seconds
    fi
    if [[ -z "${rss[$key]:-}" ]] || ((kb > ${rss[$key]})); then
        rss[$key]=$kb
    fi
}

# Rounds go through every tool in turn, so a slow moment of the machine hits all alike.
for ((round = 1; round <= runs; ++round)); do
    for key in "${keys[@]}"; do
        run_once "$key"
    done
done
cat "$utf8" >/dev/null
for ((round = 1; round <= runs; ++round)); do
    for key in "${utf8_keys[@]}"; do
        run_once "$key"
    done
done
cat "$long_input" >/dev/null
for ((round = 1; round <= runs; ++round)); do
    for key in "${long_keys[@]}"; do
        run_once "$key"
    done
done
cat "$unix" >/dev/null
for ((round = 1; round <= runs; ++round)); do
    for key in "${lf_keys[@]}"; do
        run_once "$key"
    done
done

mb=$(awk -v b="$bytes" 'BEGIN { printf "%.1f", b / 1e6 }')
echo "Input: $mb MB of CP850 text, best of $runs runs (load average before: $load)"
printf '%-19s %9s %9s %10s\n' tool seconds MB/s 'RSS MiB'
for key in "${keys[@]}"; do
    name="${names[$key]}"
    awk -v n="$name" -v s="${best[$key]}" -v b="$bytes" -v k="${rss[$key]}" \
        'BEGIN { printf "%-19s %9.3f %9.0f %10.1f\n", n, s, b / 1e6 / s, k / 1024 }'
done

echo
echo "UTF-8 as the Windows page: $mb MB of CP850 to UTF-8, and $(awk -v b="$utf8_bytes" \
    'BEGIN { printf "%.1f", b / 1e6 }') MB of UTF-8 back, best of $runs runs"
printf '%-19s %9s %9s %10s\n' tool seconds MB/s 'RSS MiB'
for key in "${utf8_keys[@]}"; do
    size=$bytes
    [[ "$key" == wd8* || "$key" == iconv8back* || "$key" == cat8* ]] && size=$utf8_bytes
    awk -v n="${names[$key]}" -v s="${best[$key]}" -v b="$size" -v k="${rss[$key]}" \
        'BEGIN { printf "%-19s %9.3f %9.0f %10.1f\n", n, s, b / 1e6 / s, k / 1024 }'
done

long_mb=$(awk -v b="$long_bytes" 'BEGIN { printf "%.1f", b / 1e6 }')
echo
echo "One line of $long_mb MB without a line end, best of $runs runs"
printf '%-19s %9s %9s %10s\n' tool seconds MB/s 'RSS MiB'
for key in "${long_keys[@]}"; do
    awk -v n="${names[$key]}" -v s="${best[$key]}" -v b="$long_bytes" -v k="${rss[$key]}" \
        'BEGIN { printf "%-19s %9.3f %9.0f %10.1f\n", n, s, b / 1e6 / s, k / 1024 }'
done

unix_mb=$(awk -v b="$unix_bytes" 'BEGIN { printf "%.1f", b / 1e6 }')
echo
echo "One line of $unix_mb MB with LF alone, LF -> CR LF through a table, best of $runs runs"
printf '%-19s %9s %9s %10s\n' tool seconds MB/s 'RSS MiB'
for key in "${lf_keys[@]}"; do
    awk -v n="${names[$key]}" -v s="${best[$key]}" -v b="$unix_bytes" -v k="${rss[$key]}" \
        'BEGIN { printf "%-19s %9.3f %9.0f %10.1f\n", n, s, b / 1e6 / s, k / 1024 }'
done

ratio() {  # label, numerator, denominator, target
    awk -v l="$1" -v a="$2" -v b="$3" -v t="$4" \
        'BEGIN { r = a / b
                 printf "%-24s %6.2f  (target <= %s) %s\n", l, r, t, (r <= t ? "ok" : "MISSED") }'
}
echo
ratio "D->W / iconv" "${best[dw]}" "${best[iconv]}" 0.5
awk -v a="${best[dw]}" -v b="${best[cat]}" \
    'BEGIN { printf "%-24s %6.2f  (with the flush to the disk, which cat does not do)\n", "D->W / cat", a / b }'
if [[ -n "$shm" ]]; then
    ratio "D->W / cat, tmpfs" "${best[dw_shm]}" "${best[cat_shm]}" 1.1
fi
awk -v a="${best[dw]}" -v b="${best[dd]}" \
    'BEGIN { printf "%-24s %6.2f  (a copy flushed to the disk as glossek does)\n", "D->W / dd fsync", a / b }'
ratio "UTF-8 D->W / iconv" "${best[dw8]}" "${best[iconv8]}" 0.5
if [[ -n "$shm" ]]; then
    # cat of the UTF-8 file: the same bytes written as the conversion writes.
    ratio "UTF-8 D->W / cat, tmpfs" "${best[dw8_shm]}" "${best[cat8_shm]}" 1.3
    ratio "UTF-8 D->W / iconv, tmpfs" "${best[dw8_shm]}" "${best[iconv8_shm]}" 0.25
fi
awk -v a="${best[wd8]}" -v b="${best[iconv8back]}" \
    'BEGIN { printf "%-24s %6.2f\n", "UTF-8 W->D / iconv", a / b }'
if [[ -n "$shm" ]]; then
    ratio "UTF-8 W->D / cat, tmpfs" "${best[wd8_shm]}" "${best[cat8_shm]}" 1.5
    ratio "UTF-8 W->D / iconv, tmpfs" "${best[wd8_shm]}" "${best[iconv8back_shm]}" 0.25
fi
ratio "table / sed" "${best[table]}" "${best[sed]}" 1
ratio "--info / D->W" "${best[info]}" "${best[dw]}" 1
ratio "long line D->W / iconv" "${best[long_dw]}" "${best[long_iconv]}" 0.5
awk -v a="${best[lf]}" -v b="${best[sedlf]}" 'BEGIN { printf "%-24s %6.2f  (with the flush)\n", "LF line: glossek / sed", a / b }'
if [[ -n "$shm" ]]; then
    ratio "LF line / sed, tmpfs" "${best[lf_shm]}" "${best[sedlf_shm]}" 1
fi
awk -v k="${rss[lf]}" -v b="$unix_bytes" 'BEGIN { m = k / 1024
    printf "%-24s %6.1f MiB  (%.2f x the line; target <= 32) %s\n", "LF line: peak RSS", m, k * 1024 / b,
           (m <= 32 ? "ok" : "MISSED") }'
peak=0
for key in dw wd table info dw8 wd8 long_dw lf; do
    if ((rss[$key] > peak)); then peak=${rss[$key]}; fi
done
awk -v k="$peak" 'BEGIN { m = k / 1024
    printf "%-24s %6.1f MiB  (target < 32) %s\n", "glossek peak RSS", m, (m < 32 ? "ok" : "MISSED") }'

echo
status=0
if cmp -s "$work/dw.txt" "$work/iconv.txt"; then
    echo "D->W output equals iconv's byte for byte"
else
    echo "D->W output DIFFERS from iconv's"
    status=1
fi
if [[ -n "$shm" ]] && cmp -s "$shm/dw_shm.txt" "$work/iconv.txt"; then
    echo "D->W output on the tmpfs equals iconv's byte for byte"
elif [[ -n "$shm" ]]; then
    echo "D->W output on the tmpfs DIFFERS from iconv's"
    status=1
fi
if cmp -s "$work/dw8.txt" "$work/iconv8.txt" &&
    { [[ -z "$shm" ]] || cmp -s "$shm/dw8_shm.txt" "$work/iconv8.txt"; }; then
    echo "D->W to UTF-8 output equals iconv's byte for byte"
else
    echo "D->W to UTF-8 output DIFFERS from iconv's"
    status=1
fi
if cmp -s "$work/wd8.txt" "$work/iconv8back.txt" && cmp -s "$work/wd8.txt" "$input"; then
    echo "W->D from UTF-8 output equals iconv's and the DOS input byte for byte"
else
    echo "W->D from UTF-8 output DIFFERS from iconv's or from the DOS input"
    status=1
fi
# glossek ends its one line with CR LF; nothing else differs.
if cat "$work/long_iconv.txt" <(printf '\r\n') | cmp -s - "$work/long_dw.txt"; then
    echo "long line D->W output equals iconv's (and a CR LF) byte for byte"
else
    echo "long line D->W output DIFFERS from iconv's"
    status=1
fi
# sed ends each LF line with CR; glossek also ends its one line with CR LF.
if cat "$work/sedlf.txt" <(printf '\r\n') | cmp -s - "$work/lf.txt"; then
    echo "LF line output equals sed 's/\$/\\r/' (and the line's own CR LF)"
else
    echo "LF line output DIFFERS from sed 's/\$/\\r/'"
    status=1
fi
# No replacement here can make a new occurrence, so sed's one pass per pair gives the same.
if sed 's/cf\./voir/g; s/env\./environ/g; s/M\./Monsieur/g' "$input" | cmp -s - "$work/table.txt"; then
    echo "table output equals sed with the same three pairs"
else
    echo "table output DIFFERS from sed with the same three pairs"
    status=1
fi

echo
echo "What --info reads the corpus of tests/pages as (tests/pages/identify_corpus.py):"
python3 "$root/tests/pages/identify_corpus.py" "$glossek" "$work/corpus" || status=1
exit "$status"
