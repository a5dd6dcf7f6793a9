#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UBSan (clang), runs the whole test suite under them,
# then runs the fuzzers. Usage: scripts/sanitize.sh [seconds per fuzzer, default 30]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh test
cmake --preset asan >/dev/null
cmake --build --preset asan -j"$(nproc)"
ctest --preset asan -j"$(nproc)"
scripts/fuzz.sh "$@"
