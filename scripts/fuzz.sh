#!/usr/bin/env bash
# Runs each fuzzer for a bounded time on a copy of its seed corpus and fails if any finds a crash.
# Usage: scripts/fuzz.sh [seconds per fuzzer, default 30]
# Builds the fuzz targets in build-asan (configured with the asan preset if it is not yet).
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-${FUZZ_SECONDS:-30}}"
build=build-asan
targets=(fuzz_val fuzz_str fuzz_pass)

[ -f "$build/CMakeCache.txt" ] || cmake --preset asan >/dev/null
if ! build_log="$(cmake --build "$build" -j"$(nproc)" --target "${targets[@]}" 2>&1)"; then
    echo "$build_log"
    exit 1
fi

export ASAN_OPTIONS="${ASAN_OPTIONS:-halt_on_error=1:detect_leaks=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
# Crash inputs outlive the temporary corpus so that they can be replayed and added to the seeds.
artifacts="$build/fuzz-artifacts"
mkdir -p "$artifacts"

failed=()
for t in "${targets[@]}"; do
    corpus="$work/$t"
    mkdir -p "$corpus"
    cp fuzz/corpus/"$t"/* "$corpus"/
    log="$work/$t.log"
    status=0
    "$build/fuzz/$t" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 \
        -artifact_prefix="$artifacts/$t-" -print_final_stats=1 "$corpus" >"$log" 2>&1 || status=$?
    done_line="$(grep -E '^Done [0-9]+ runs in [0-9]+ second' "$log" | tail -1 || true)"
    if [ "$status" -ne 0 ] || [ -z "$done_line" ]; then
        echo "$t: FAILED (exit $status)"
        grep -E 'property broken|ERROR:|runtime error:|SUMMARY:|Test unit written' "$log" | head -20 || true
        echo "  full log: $artifacts/$t.log"
        cp "$log" "$artifacts/$t.log"
        failed+=("$t")
    else
        echo "$t: $done_line ($(find "$corpus" -type f | wc -l) inputs in the corpus)"
    fi
done

if [ ${#failed[@]} -ne 0 ]; then
    echo "fuzzing found crashes in: ${failed[*]}; replay with $build/fuzz/<target> <artifact>"
    exit 1
fi
echo "fuzzing: ${#targets[@]} fuzzers ran ${seconds} s each, no crash"
