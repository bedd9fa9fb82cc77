#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# End-to-end runs of the real program in command-line mode, without any display.
# Usage: command_line_test.sh PATH/TO/glossek SAMPLES_FOLDER
source "$(dirname "${BASH_SOURCE[0]}")/checks.sh"
program="$1"
samples="$2"
export LANG=fr_FR.UTF-8

run() {  # runs the program in $work, keeps its exit code and standard error
    (cd "$work" && "$program" "$@" 2>"$work/stderr")
    status=$?
}

cp "$samples/lettre.txt" "$work/lettre.txt"
cp "$samples/sans-accents.glk" "$work/Sans-Accents.glk"

# DOS to Windows, relative names against the folder the user stands in.
run lettre.txt lettre.win W R
check "exit code is 1" test "$status" -eq 1
check "nothing said on success" test ! -s "$work/stderr"
iconv -f CP850 -t CP1252 "$samples/lettre.txt" >"$work/expected.win"
check "D to W as iconv" cmp -s "$work/lettre.win" "$work/expected.win"

# And back, with the leading slashes of the old command line.
run /lettre.win /lettre.back /d /r
check "W to D gives the letter back" cmp -s "$work/lettre.back" "$samples/lettre.txt"

# An auxiliary table, its upper-cased name found without regard to case.
run lettre.txt lettre.plain Asans-accents.glk R
check "table applied" bash -c "! grep -q $'\x82' '$work/lettre.plain' && grep -q 'fevrier' '$work/lettre.plain'"
check "table run silent" test ! -s "$work/stderr"

# Reasons for not converting go to standard error; exit code stays 1.
run none.txt out.txt W R
check "missing input exit code" test "$status" -eq 1
check "missing input explained" grep -q "none.txt: File does not exist or 'Input file' area empty." "$work/stderr"
check "no output for missing input" test ! -e "$work/out.txt"

run lettre.txt out.txt Anone.glk R
check "missing table explained" grep -q "NONE.GLK: Proc" "$work/stderr"
check "no output for missing table" test ! -e "$work/out.txt"

ln -s lettre.txt "$work/alias.txt"
run lettre.txt alias.txt W R
check "output that is the input refused" grep -q "I/O error 32" "$work/stderr"
check "input intact" cmp -s "$work/lettre.txt" "$samples/lettre.txt"

GLOSSEK_OEMCP=999 run lettre.txt out.txt W R
check "unknown code page refused" grep -q "999" "$work/stderr"
check "no output for unknown code page" test ! -e "$work/out.txt"

GLOSSEK_OEMCP=437 GLOSSEK_ANSICP=1252 run lettre.txt lettre.437 W R
iconv -f CP437 -t CP1252 "$samples/lettre.txt" >"$work/expected.437" 2>/dev/null
check "code page chosen by the environment" cmp -s "$work/lettre.437" "$work/expected.437"

run
check "window without display ends" test "$status" -eq 1

# --help and --version alone: standard output, exit code 0, no display needed.
(cd "$work" && "$program" --help >"$work/stdout" 2>"$work/stderr")
check "--help exits with 0" test "$?" -eq 0
check "--help prints the usage" grep -q "^Usage: glossek" "$work/stdout"
check "--help says nothing on standard error" test ! -s "$work/stderr"
(cd "$work" && "$program" --version >"$work/stdout" 2>"$work/stderr")
check "--version exits with 0" test "$?" -eq 0
check "--version prints the version" grep -qxE "glossek [0-9]+(\.[0-9]+)+" "$work/stdout"
# Beside other parameters it is a file name like any other.
run --help out.txt W R
check "--help among parameters is an input name" grep -q "\-\-help: File does not exist" "$work/stderr"

# Batch mode loads no window toolkit.
LD_DEBUG=libs "$program" "$work/lettre.txt" "$work/lettre.ld" W R 2>"$work/libs" </dev/null
check "batch mode loads no Qt library" bash -c "! grep -qi 'libQt' '$work/libs'"
check "batch mode with LD_DEBUG converts" cmp -s "$work/lettre.ld" "$work/expected.win"

# --info: one line a file, tab-separated, on standard output; nothing written; a file that
# cannot be read (missing, a folder, a pipe) said on standard error, the others reported.
mkfifo "$work/pipe"
printf 'plain\r\n' >"$work/plain.txt"
touch "$work/info" "$work/stderr"
before="$(ls -A "$work" | wc -l)"
(cd "$work" && GLOSSEK_OEMCP=850 GLOSSEK_ANSICP=1252 timeout 20 "$program" --info lettre.txt \
    none.txt . pipe plain.txt >"$work/info" 2>"$work/stderr")
status=$?
check "--info exit code 1 when a file was not read" test "$status" -eq 1
check "--info: the DOS letter" grep -qP '^dos\t850\tcrlf=\d+\tlf=0\tcr=0\tlines=\d+\tnul=0\tctrlz=-\tbom=no\tsuggest=-\tlettre.txt$' "$work/info"
check "--info: an ASCII file after those not read" grep -qP '^ascii\t-\tcrlf=1\t.*\tplain.txt$' "$work/info"
check "--info: two lines" test "$(wc -l <"$work/info")" -eq 2
check "--info: the missing file said" grep -q "none.txt: File not found" "$work/stderr"
check "--info: the folder and the pipe said" test "$(grep -c "Not a regular file" "$work/stderr")" -eq 2
check "--info writes nothing" test "$(ls -A "$work" | wc -l)" -eq "$before"
(cd "$work" && "$program" --info plain.txt >/dev/null 2>&1)
check "--info exit code 0 when every file was read" test "$?" -eq 0

# The pair kept by the window in GLK32.CP beside the program: after the environment's
# overrides, before the locale. A copy of the program has a folder of its own for it.
mkdir -p "$work/prog"
cp "$program" "$work/prog/glossek"
printf '866 1251\r\n' >"$work/prog/GLK32.CP"
printf 'caf\xa0\xe0\r\n' >"$work/cyrillic.txt"
(cd "$work" && prog/glossek cyrillic.txt cyrillic.win W R 2>"$work/stderr")
check "GLK32.CP pair converts" cmp -s "$work/cyrillic.win" <(printf 'caf\xe0\xf0\r\n')
check "GLK32.CP pair silent" test ! -s "$work/stderr"
(cd "$work" && GLOSSEK_ANSICP=1252 prog/glossek cyrillic.txt cyrillic.mix W R 2>"$work/stderr")
check "environment comes before GLK32.CP" cmp -s "$work/cyrillic.mix" <(printf 'caf??\r\n')
# As echo writes it (LF alone) it is the same pair: with a Russian locale, UTF-8 comes out.
echo "850 65001" >"$work/prog/GLK32.CP"
(cd "$work" && LANG=ru_RU.UTF-8 prog/glossek lettre.txt lettre.utf8 W R 2>"$work/stderr")
check "GLK32.CP ended by LF alone: its pair converts" cmp -s "$work/lettre.utf8" \
    <(iconv -f CP850 -t UTF-8 "$work/lettre.txt")
# One that cannot be used stops batch mode, saying why; the file stays as it was.
printf '866 9999\r\n' >"$work/prog/GLK32.CP"
(cd "$work" && prog/glossek lettre.txt lettre.kept W R 2>"$work/stderr")
check "unusable GLK32.CP is said" grep -q "GLK32.CP: The code pages kept in this file cannot be used. Nothing was converted." "$work/stderr"
check "unusable GLK32.CP: why" grep -q "^glossek: '866 9999' is not a DOS code page and a Windows code page" "$work/stderr"
check "unusable GLK32.CP: nothing converted" test ! -e "$work/lettre.kept"
check "unusable GLK32.CP left as it was" cmp -s "$work/prog/GLK32.CP" <(printf '866 9999\r\n')
# A folder of that name is unreadable; a large file is refused quoting 40 bytes of it.
rm "$work/prog/GLK32.CP"
mkdir "$work/prog/GLK32.CP"
(cd "$work" && prog/glossek lettre.txt lettre.kept W R 2>"$work/stderr")
check "GLK32.CP a folder: said as unreadable" grep -q "^glossek: File access denied.$" "$work/stderr"
check "GLK32.CP a folder: nothing converted" test ! -e "$work/lettre.kept"
rmdir "$work/prog/GLK32.CP"
head -c 2000000 /dev/zero | tr '\0' '8' >"$work/prog/GLK32.CP"
(cd "$work" && prog/glossek lettre.txt lettre.kept W R 2>"$work/stderr")
check "GLK32.CP of 2 MB: refused" grep -qF "larger than 1 KiB" "$work/stderr"
check "GLK32.CP of 2 MB: 40 bytes quoted" grep -qF "('8888888888888888888888888888888888888888...')" "$work/stderr"
check "GLK32.CP of 2 MB: nothing converted" test ! -e "$work/lettre.kept"
rm "$work/prog/GLK32.CP"

finish
