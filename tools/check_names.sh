#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs clang-tidy (.clang-tidy: the naming rule and the size of functions) on every source
# file of src/, with the compile commands of BUILD_FOLDER. A file passed once is not checked
# again until it or a header of src/ changes (stamps in BUILD_FOLDER/tidy-stamps).
# Usage: tools/check_names.sh BUILD_FOLDER
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$1"
stamps="$build/tidy-stamps"
mkdir -p "$stamps"
headers="$(cd "$here" && cat $(git ls-files 'src/*.h' 'src/*.h.in' 2>/dev/null || find src -name '*.h') \
    .clang-tidy | sha1sum | cut -c1-12)"
todo=()
for file in $(cd "$here" && ls src/*/*.cpp | grep -v -e 'code_page_data.cpp$' -e 'language_data.cpp$'); do
    stamp="$stamps/$(echo "$file" | tr / _).$headers.$(sha1sum <"$here/$file" | cut -c1-12)"
    [[ -e "$stamp" ]] || todo+=("$file")
done
if ((${#todo[@]} == 0)); then
    echo "clang-tidy: every source file of src/ already passed"
    exit 0
fi
echo "clang-tidy: ${#todo[@]} source files of src/"
log="$build/tidy.log"
if ! (cd "$here" && printf '%s\n' "${todo[@]}" |
      xargs -P "$(nproc)" -n 4 clang-tidy -p "$build" --quiet \
          --extra-arg=-Wno-unknown-warning-option >"$log" 2>&1); then
    grep -E "(warning|error):" "$log" | sort -u >&2
    echo "clang-tidy found the faults above (.clang-tidy; DESIGN.md, Names)" >&2
    exit 1
fi
for file in "${todo[@]}"; do
    rm -f "$stamps/$(echo "$file" | tr / _)".*
    touch "$stamps/$(echo "$file" | tr / _).$headers.$(sha1sum <"$here/$file" | cut -c1-12)"
done
