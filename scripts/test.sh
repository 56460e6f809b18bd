#!/usr/bin/env bash
# Builds the program plainly, under AddressSanitizer with
# UndefinedBehaviorSanitizer, and under ThreadSanitizer, and runs every test
# of each build inside a private network namespace. Prints the benchmark
# figures of the plain build.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

bash scripts/build.sh build/release
bash scripts/build.sh build/asan -DPONDEL_SANITIZERS=address,undefined -DPONDEL_BUILD_BENCHMARKS=OFF
bash scripts/build.sh build/tsan -DPONDEL_SANITIZERS=thread -DPONDEL_BUILD_BENCHMARKS=OFF

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1
for build in release asan tsan; do
    echo "== Tests: $build build =="
    bash scripts/in-private-network.sh ctest --test-dir "build/$build" --output-on-failure -j "$(nproc)"
done

echo "== Benchmarks =="
for benchmark in build/release/tests/benchmarks/*_benchmark; do
    [ -x "$benchmark" ] && bash scripts/in-private-network.sh "$benchmark"
done
