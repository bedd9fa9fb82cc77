#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Whole folders in one run. Two trees of generated DOS text (CP850, CR LF):
#  - 500 small files (1 to 5 KB) in 10 folders: one glossek run against a shell loop that
#    runs iconv once per file into the same tree (target: at most 0.2 x the loop);
#  - a tree of about SIZE_MB (200 by default) in 2,000 files of 20 folders, D -> W, against
#    the single-file D -> W run on one file of the same size (target: at most 1 x, the
#    cores are used), and the peak memory of both (it must not grow with the tree: the
#    same tree of a tenth of the files is timed too).
# Best of RUNS runs (3 by default), in turn, each after a sync. The outputs are checked
# against iconv's. Outputs go where the inputs are: TMPDIR, /tmp by default.
# Usage: bench/folders.sh [SIZE_MB]
set -euo pipefail
size_mb="${1:-200}"
if ! [[ "$size_mb" =~ ^[0-9]+$ ]] || ((size_mb < 2)); then
    echo "usage: $0 [SIZE_MB]   (at least 2)" >&2
    exit 2
fi
runs="${RUNS:-3}"
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
need_gnu_time
program_to_time
export GLOSSEK_OEMCP=850 GLOSSEK_ANSICP=1252

work="$(mktemp -d "${TMPDIR:-/tmp}/glossek-folders.XXXXXX")"
trap 'rm -rf "$work"' EXIT
python3 "$here/make_text.py" "$size_mb" "$work/one.txt"

# The trees, cut from the one file at line ends.
python3 - "$work" "$size_mb" <<'EOF_TREES'
import os, random, sys
work, size_mb = sys.argv[1], int(sys.argv[2])
text = open(os.path.join(work, "one.txt"), "rb").read()
rng = random.Random(7)

def cut(at, size):
    end = text.find(b"\r\n", at + size)
    end = len(text) if end < 0 else end + 2
    return text[at:end], end % (len(text) - 10_000)

def tree(name, files, folders, low, high):
    at = 0
    for k in range(files):
        folder = os.path.join(work, name, "part%02d" % (k % folders))
        os.makedirs(folder, exist_ok=True)
        data, at = cut(at, rng.randint(low, high))
        open(os.path.join(folder, "file%04d.txt" % k), "wb").write(data)

tree("small", 500, 10, 1000, 4900)
each = size_mb * 1_000_000 // 2000
tree("big", 2000, 20, each, each)
tree("tenth", 200, 20, each, each)
EOF_TREES
big_bytes=$(du -sb "$work/big" | cut -f1)
head -c "$big_bytes" "$work/one.txt" >"$work/single.txt"

loop() {  # the shell's way: one iconv per file
    local file out
    (cd "$work/small" && find . -type f | while read -r file; do
        out="$work/loop/$file"
        mkdir -p "${out%/*}"
        iconv -f CP850 -t CP1252 "$file" >"$out"
    done)
}

declare -A best rss
timed() {  # timed KEY COMMAND...: the best time and the peak memory of KEY
    local key="$1" start end seconds kb
    shift
    sync
    start=$EPOCHREALTIME
    /usr/bin/time -f %M -o "$work/rss" "$@" 2>"$work/err" || true
    end=$EPOCHREALTIME
    if [[ -s "$work/err" ]]; then  # glossek says nothing on success
        echo "$key failed:" >&2
        cat "$work/err" >&2
        exit 1
    fi
    seconds=$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.4f", b - a }')
    kb=$(tail -n 1 "$work/rss")
    if [[ -z "${best[$key]:-}" ]] || awk -v s="$seconds" -v b="${best[$key]}" 'BEGIN { exit !(s < b) }'; then
        best[$key]=$seconds
    fi
    if [[ -z "${rss[$key]:-}" ]] || ((kb > ${rss[$key]})); then
        rss[$key]=$kb
    fi
}

export -f loop
export work
for ((round = 1; round <= runs; ++round)); do
    rm -rf "$work/small.cvt" "$work/loop" "$work/big.cvt" "$work/tenth.cvt" "$work/single.out"
    timed small "$glossek" "$work/small" "$work/small.cvt" W R
    timed loop bash -c loop
    timed tree "$glossek" "$work/big" "$work/big.cvt" W R
    timed tenth "$glossek" "$work/tenth" "$work/tenth.cvt" W R
    timed single "$glossek" "$work/single.txt" "$work/single.out" W R
done

# The outputs: each file as iconv makes it.
diff -r -q "$work/small.cvt" "$work/loop" >/dev/null || { echo "small tree: outputs differ" >&2; exit 1; }
(cd "$work/big" && find . -type f -name 'file00[0-4]?.txt' | while read -r file; do
    iconv -f CP850 -t CP1252 "$file" | cmp -s - "$work/big.cvt/$file" ||
        { echo "big tree: $file differs" >&2; exit 1; }
done)

echo "Folders: 500 files of 1-5 KB; $(awk -v b="$big_bytes" 'BEGIN { printf "%.0f", b / 1e6 }') MB in 2,000 files; best of $runs runs on $(nproc) cores"
printf '%-34s %9s %10s\n' run seconds 'RSS MiB'
for key in small loop tree tenth single; do
    case "$key" in
        small) name="glossek, 500 small files" ;;
        loop) name="shell loop of iconv, same files" ;;
        tree) name="glossek, 2,000-file tree" ;;
        tenth) name="glossek, 200 files of the tree" ;;
        single) name="glossek, one file of the tree's size" ;;
    esac
    awk -v n="$name" -v s="${best[$key]}" -v k="${rss[$key]}" \
        'BEGIN { printf "%-34s %9.3f %10.1f\n", n, s, k / 1024 }'
done
awk -v a="${best[small]}" -v b="${best[loop]}" \
    'BEGIN { r = a / b; printf "%-34s %9.3f  (target <= 0.2) %s\n", "small files / loop", r, (r <= 0.2 ? "ok" : "MISSED") }'
awk -v a="${best[tree]}" -v b="${best[single]}" \
    'BEGIN { r = a / b; printf "%-34s %9.3f  (target <= 1) %s\n", "tree / one file", r, (r <= 1 ? "ok" : "MISSED") }'
awk -v a="${rss[tree]}" -v b="${rss[tenth]}" \
    'BEGIN { printf "%-34s %9.2f  (flat: about 1)\n", "peak memory, tree / tenth", a / b }'
