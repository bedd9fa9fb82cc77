# SPDX-License-Identifier: MIT
# What the benchmarks share, sourced by each: where the tree is, and the program they time.
# GLOSSEK names another build of it (an older one, say); otherwise the Release build in
# build/ is made or brought up to date (an existing build folder keeps its settings).
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(dirname "$here")"
build="$root/build"

need_gnu_time() {  # /usr/bin/time, for the peak memory of a run
    [[ -x /usr/bin/time ]] && return
    apt-get install -y time >/dev/null ||
        { apt-get update >/dev/null && apt-get install -y time >/dev/null; }
}

program_to_time() {  # sets glossek
    glossek="${GLOSSEK:-}"
    [[ -n "$glossek" ]] && return
    if [[ ! -f "$build/CMakeCache.txt" ]]; then
        cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
    fi
    if ! grep -q '^CMAKE_BUILD_TYPE:STRING=Release$' "$build/CMakeCache.txt"; then
        echo "note: $build is not a Release build; figures will be slow" >&2
    fi
    cmake --build "$build" --target glossek -j"$(nproc)" >/dev/null
    glossek="$build/glossek"
}
