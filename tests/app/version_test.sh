#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The version is written once, in CMakeLists.txt: the program says it, and the documents
# that name it (the AppStream description's newest release, the manual page, the help file)
# must agree.
# Usage: version_test.sh VERSION PATH/TO/glossek SOURCE_DIR
source "$(dirname "${BASH_SOURCE[0]}")/checks.sh"
version="$1"
program="$2"
source="$3"

check "--version says $version" test "$("$program" --version)" = "glossek $version"
newest="$(grep -o '<release version="[^"]*"' "$source/data/org.example.Glossek.metainfo.xml" |
    head -1 | cut -d'"' -f2)"
check "newest AppStream release is $version (found $newest)" test "$newest" = "$version"
check "manual page names glossek $version" \
    grep -q "^\.TH GLOSSEK 1 .*\"glossek $version\"" "$source/docs/glossek.1"
check "help file's title names Glossek $version" \
    grep -q "<title>Glossek $version - " "$source/help/GLK32.HLP"
finish
