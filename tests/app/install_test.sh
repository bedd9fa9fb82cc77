#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The installed layout: what `cmake --install` puts where, that the installed command runs
# from its link, finds its help file, and that the manual page and the AppStream description
# are well formed (where the tools to check them are there).
# Usage: install_test.sh BUILD_DIR
source "$(dirname "${BASH_SOURCE[0]}")/checks.sh"
build="$1"

prefix="$work/prefix"
cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1
check "install succeeds" test "$?" -eq 0
for file in lib/glossek/glossek lib/glossek/glossek-window share/glossek/GLK32.HLP \
    share/glossek/samples/lettre.txt share/man/man1/glossek.1 \
    share/applications/org.example.Glossek.desktop share/metainfo/org.example.Glossek.metainfo.xml \
    share/icons/hicolor/scalable/apps/glossek.svg share/doc/glossek/README.md \
    share/doc/glossek/LICENSE; do
    check "installed: $file" test -s "$prefix/$file"
done
check "bin/glossek is a link to the program" test "$(readlink "$prefix/bin/glossek")" = ../lib/glossek/glossek
check "no side file written into the program's folder" \
    test -z "$(ls "$prefix/lib/glossek" | grep -v '^glossek')"

printf 'caf\x82\r\n' >"$work/in.txt"
(cd "$work" && GLOSSEK_OEMCP=850 GLOSSEK_ANSICP=1252 "$prefix/bin/glossek" in.txt out.txt W R \
    2>"$work/stderr")
check "installed command converts" cmp -s "$work/out.txt" <(printf 'caf\xe9\r\n')
"$prefix/bin/glossek" --version >"$work/version"
check "installed --version" test "$(cat "$work/version")" = "$("$build/glossek" --version)"

if command -v man >/dev/null; then
    MANWIDTH=80 man --warnings -l "$prefix/share/man/man1/glossek.1" >"$work/man.txt" 2>"$work/stderr"
    check "manual page renders without warnings" test ! -s "$work/stderr"
    for section in SYNOPSIS "EXIT STATUS" ENVIRONMENT FILES "TABLE FILE FORMAT"; do
        check "manual page has $section" grep -q "^$section" "$work/man.txt"
    done
else
    skip "no man to render the manual page"
fi
if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net "$prefix/share/metainfo/org.example.Glossek.metainfo.xml" \
        >"$work/stderr" 2>&1
    check "appstreamcli validates the metainfo" test "$?" -eq 0
else
    skip "no appstreamcli to validate the metainfo"
fi
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$prefix/share/applications/org.example.Glossek.desktop" >"$work/stderr" 2>&1
    check "desktop entry validates" test ! -s "$work/stderr"
fi

finish
