#!/usr/bin/env bash
# Builds the program five ways and runs every test of each inside a private
# network namespace:
#   release  GCC, Release, with the benchmarks, whose figures it prints
#   asan     Clang, AddressSanitizer and UndefinedBehaviorSanitizer
#   tsan     GCC, ThreadSanitizer
#   nogui    GCC, the console program alone, without Qt (PONDEL_GUI=OFF)
#   fuzz     Clang, the libFuzzer harnesses of the parsers under both
#            sanitizers; each replays its seeds and fuzzes for 10 s
# Warnings are errors in every one of them. Each tree gets every option
# explicitly, so whatever ran before (the run command included) cannot leave
# a tree configured otherwise.
set -euo pipefail
cd "$(dirname "$0")/.."
started=$SECONDS
# The total time, also when a step fails: the whole run must stay well under
# the time limit of the checks.
trap 'code=$?; [ "$code" -eq 0 ] || echo "== Failed after $((SECONDS - started)) s ==" >&2' EXIT

bash scripts/install-deps.sh --benchmark-peers

# Each step's heading says when it started, so that a slow step shows.
step() { echo "== $1 (at $((SECONDS - started)) s) =="; }

step "Format"
bash scripts/check-format.sh

common=(-DCMAKE_COMPILE_WARNING_AS_ERROR=ON -DPONDEL_BUILD_TESTS=ON)
gcc=(-DCMAKE_CXX_COMPILER=g++)
clang=(-DCMAKE_CXX_COMPILER=clang++)
# The checking trees keep line tables only: enough for the sanitizers'
# reports and a debugger's backtrace, and a fifth less compile time than
# full debug information.
gcc_lines=(-DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG")
clang_lines=(-DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -gline-tables-only -DNDEBUG")

step "Build: release"
bash scripts/build.sh build/release "${common[@]}" "${gcc[@]}" -DCMAKE_BUILD_TYPE=Release \
    -DPONDEL_GUI=ON -DPONDEL_BUILD_BENCHMARKS=ON -DPONDEL_SANITIZERS=
step "Build: asan"
bash scripts/build.sh build/asan "${common[@]}" "${clang[@]}" "${clang_lines[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DPONDEL_GUI=ON -DPONDEL_BUILD_BENCHMARKS=OFF -DPONDEL_SANITIZERS=address,undefined
step "Build: tsan"
bash scripts/build.sh build/tsan "${common[@]}" "${gcc[@]}" "${gcc_lines[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DPONDEL_GUI=ON -DPONDEL_BUILD_BENCHMARKS=OFF -DPONDEL_SANITIZERS=thread
step "Build: nogui"
bash scripts/build.sh build/nogui "${common[@]}" "${gcc[@]}" "${gcc_lines[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DPONDEL_GUI=OFF -DPONDEL_BUILD_BENCHMARKS=OFF -DPONDEL_SANITIZERS=
if grep -q '^Qt6_DIR:.*[^-]found' build/nogui/CMakeCache.txt 2>/dev/null \
    || grep -qi 'Qt6' build/nogui/build.ninja; then
    echo "The nogui tree uses Qt: the console program must build without it." >&2
    exit 1
fi
step "Build: fuzz"
bash scripts/build.sh build/fuzz -DCMAKE_COMPILE_WARNING_AS_ERROR=ON "${clang[@]}" "${clang_lines[@]}" \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPONDEL_BUILD_FUZZERS=ON -DPONDEL_BUILD_TESTS=OFF \
    -DPONDEL_GUI=OFF -DPONDEL_BUILD_BENCHMARKS=OFF -DPONDEL_SANITIZERS=address,undefined

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1
for build in release asan tsan nogui fuzz; do
    step "Tests: $build build"
    bash scripts/in-private-network.sh \
        ctest --test-dir "build/$build" --output-on-failure --no-tests=error -j "$(nproc)"
done

step "Benchmarks"
benchmarks=(settings_benchmark wake_paths_benchmark status_pass_benchmark sweep_benchmark
    window_startup_benchmark window_stall_benchmark wake_confirm_benchmark)
for name in "${benchmarks[@]}"; do
    benchmark=build/release/tests/benchmarks/$name
    if [ ! -x "$benchmark" ]; then
        echo "Benchmark $name was not built (looked for $benchmark)." >&2
        exit 1
    fi
    bash scripts/in-private-network.sh "$benchmark"
done

step "Package"
bash scripts/package.sh
bash tests/package/check-package.sh pondel_*.deb

echo "== All builds and tests passed in $((SECONDS - started)) s =="
