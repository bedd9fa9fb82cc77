#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# End-to-end runs of the real program with UTF-8 (65001) as the Windows page, in batch
# mode: both ways against glibc's iconv for every DOS page, and GLOSSEK_REPORT.
# Usage: utf8_test.sh PATH/TO/glossek SAMPLES_FOLDER
source "$(dirname "${BASH_SOURCE[0]}")/checks.sh"
program="$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"
samples="$2"
export LANG=fr_FR.UTF-8 GLOSSEK_ANSICP=65001

run() {  # runs the program in $work, keeps its exit code and standard error
    (cd "$work" && "$program" "$@" 2>"$work/stderr")
    status=$?
}

# Every byte of each DOS page that the page defines, but the line ends, Ctrl-Z and NUL
# (which end the data or the line), on one line; DOS to UTF-8 must be iconv's output, and
# back. (Python's codecs tell the defined bytes: glibc's agree, as the unit tests check.)
pages=(437 737 775 850 852 855 857 858 860 861 862 863 864 865 866 869)
python3 - "$work" "${pages[@]}" <<'EOF_PAGES'
import sys
for page in sys.argv[2:]:
    data = bytearray()
    for b in range(1, 256):
        try:
            bytes([b]).decode("cp" + page)
        except UnicodeDecodeError:
            continue
        if b not in (0x0A, 0x0D, 0x1A):
            data.append(b)
    open("%s/all.%s" % (sys.argv[1], page), "wb").write(bytes(data) + b"\r\n")
EOF_PAGES
for page in "${pages[@]}"; do
    iconv -f "CP$page" -t UTF-8 "$work/all.$page" >"$work/expected.$page"
    GLOSSEK_OEMCP=$page run "all.$page" "utf8.$page" W R
    check "$page to UTF-8 as iconv" cmp -s "$work/utf8.$page" "$work/expected.$page"
    check "$page to UTF-8 silent" test ! -s "$work/stderr"
    GLOSSEK_OEMCP=$page run "utf8.$page" "back.$page" D R
    check "UTF-8 back to $page" cmp -s "$work/back.$page" "$work/all.$page"
    iconv -f UTF-8 -t "CP$page" "$work/utf8.$page" 2>/dev/null | cmp -s - "$work/back.$page"
    check "UTF-8 to $page as iconv" test "$?" -eq 0
done
check "exit code is 1" test "$status" -eq 1

# A letter of many lines and blocks, there and back.
export GLOSSEK_OEMCP=850
for copy in 1 2 3 4 5 6 7 8; do cat "$samples/lettre.txt"; done >"$work/lettre.txt"
for copy in 1 2 3 4 5 6 7 8; do cat "$work/lettre.txt"; done >"$work/long.txt"
run long.txt long.utf8 W R
check "letter to UTF-8 as iconv" cmp -s "$work/long.utf8" <(iconv -f CP850 -t UTF-8 "$work/long.txt")
run long.utf8 long.back D R
check "letter back from UTF-8" cmp -s "$work/long.back" "$work/long.txt"

# A byte order mark is dropped at the start only; what the page lacks takes a best fit,
# an ill-formed sequence one '?' per maximal subpart.
printf '\xef\xbb\xbfcaf\xc3\xa9\r\n\xe2\x80\x94 \xf0\x9f\x98\x80 \xc4\x87\r\na\xc0\xafb\xe2\x82\r\n' \
    >"$work/mixed.txt"
run mixed.txt mixed.dos D R
check "best fits and ill-formed sequences" \
    cmp -s "$work/mixed.dos" <(printf 'caf\x82\r\n- ? c\r\na??b?\r\n')
check "nothing said without GLOSSEK_REPORT" test ! -s "$work/stderr"

GLOSSEK_REPORT=1 run mixed.txt mixed.dos D R
check "GLOSSEK_REPORT=1 says the count and the first line" grep -qx \
    "glossek: .*/mixed.dos: 6 characters had no exact counterpart (first on line 2)" \
    "$work/stderr"
check "GLOSSEK_REPORT=1 still converts" cmp -s "$work/mixed.dos" <(printf 'caf\x82\r\n- ? c\r\na??b?\r\n')
check "GLOSSEK_REPORT=1 exit code is 1" test "$status" -eq 1
# In French, with the language file beside a copy of the program.
mkdir -p "$work/prog"
cp "$program" "$work/prog/glossek"
printf 'FR\r\n' >"$work/prog/GLK32.LNG"
(cd "$work" && GLOSSEK_REPORT=1 prog/glossek mixed.txt mixed.dos D R 2>"$work/stderr")
check "in French too" grep -qx \
    "glossek: .*/mixed.dos: 6 caractères n'avaient pas d'équivalent exact (le premier à la ligne 2)" \
    "$work/stderr"
GLOSSEK_REPORT=yes run mixed.txt mixed.dos D R
check "GLOSSEK_REPORT other than 1 says nothing" test ! -s "$work/stderr"
GLOSSEK_REPORT=1 run long.utf8 long.back D R
check "nothing lost, nothing said" test ! -s "$work/stderr"
GLOSSEK_REPORT=1 GLOSSEK_ANSICP=1252 run lettre.txt box.win W R
check "one-byte pages: nothing lost in the letter" test ! -s "$work/stderr"
printf 'a\r\n\xc4\xc4\xb3\r\n' >"$work/box.txt"
GLOSSEK_REPORT=1 GLOSSEK_ANSICP=1252 run box.txt box.win W R
check "one-byte pages count their best fits" grep -qx \
    "glossek: .*/box.win: 3 characters had no exact counterpart (first on line 2)" \
    "$work/stderr"

finish
