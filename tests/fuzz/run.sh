#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the libFuzzer targets with clang in build-fuzz/ and runs each for a bounded time.
# Usage: tests/fuzz/run.sh [SECONDS_EACH] [TARGET...]
# New inputs go to build-fuzz/corpus/<target>/ (the seeds under tests/fuzz/corpus/ are only
# read). A crash, leak, timeout or memory blow-up stops with the input saved in
# build-fuzz/artifacts/<target>/: copy it into tests/fuzz/regressions/<target>/ so that the
# replay test keeps it, then fix the fault.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
seconds="${1:-25}"
shift || true
targets=("$@")
if ((${#targets[@]} == 0)); then
    targets=(text_file codes_to_chars table_file replace_all command_line utf8)
fi
build="$root/build-fuzz"
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DGLOSSEK_FUZZ=ON -DGLOSSEK_TESTS=OFF -DGLOSSEK_WERROR=ON >/dev/null
cmake --build "$build" -j"$(nproc)" --target "${targets[@]/#/fuzz_}"

export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:allocator_may_return_null=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
failed=()
for target in "${targets[@]}"; do
    corpus="$build/corpus/$target"
    artifacts="$build/artifacts/$target"
    mkdir -p "$corpus" "$artifacts"
    echo "== fuzz_$target for ${seconds}s"
    seeds=("$root/tests/fuzz/corpus/$target")
    [[ -d "$root/tests/fuzz/regressions/$target" ]] && seeds+=("$root/tests/fuzz/regressions/$target")
    # -timeout: one input taking longer is a hang; -rss_limit_mb: the guard must keep memory
    # well below this; -malloc_limit_mb catches a single huge allocation.
    if ! "$build/tests/fuzz/fuzz_$target" "$corpus" "${seeds[@]}" \
        -max_total_time="$seconds" -timeout=10 -rss_limit_mb=1536 -malloc_limit_mb=1024 \
        -max_len=4096 -print_final_stats=1 -artifact_prefix="$artifacts/" \
        >"$artifacts/log" 2>&1; then
        tail -40 "$artifacts/log"
        echo "fuzz_$target FAILED: input kept in $artifacts/"
        failed+=("$target")
    else
        grep -E '^stat::number_of_executed_units|^stat::peak_rss_mb' "$artifacts/log" | tr '\n' ' '
        echo
    fi
done
if ((${#failed[@]})); then
    echo "fuzzers that failed: ${failed[*]}"
    exit 1
fi
echo "every fuzzer ran ${seconds}s without a fault"
