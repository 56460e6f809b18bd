#!/usr/bin/env bash
# fuzz.sh [SECONDS] [HARNESS...]: builds the fuzz tree (Clang, libFuzzer,
# AddressSanitizer and UndefinedBehaviorSanitizer) in build/fuzz and runs
# each harness for SECONDS (default 600) over its seeds, inside a private
# network namespace. What a run finds is kept in build/fuzz/corpus, so later
# runs go on from there; crash inputs land in build/fuzz/crashes. Prints the
# executions and the coverage ("cov:" edges, "ft:" features) each reached.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-600}
shift || true

bash scripts/build.sh build/fuzz -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_COMPILE_WARNING_AS_ERROR=ON -DPONDEL_BUILD_FUZZERS=ON -DPONDEL_BUILD_TESTS=OFF \
    -DPONDEL_BUILD_BENCHMARKS=OFF -DPONDEL_GUI=OFF -DPONDEL_SANITIZERS=address,undefined

harnesses=("$@")
if ((${#harnesses[@]} == 0)); then
    for seeds in tests/fuzz/corpus/*/; do
        harnesses+=("$(basename "$seeds")")
    done
fi

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
mkdir -p build/fuzz/crashes
summary=()
failed=0
for name in "${harnesses[@]}"; do
    corpus=build/fuzz/corpus/$name
    log=build/fuzz/$name.log
    mkdir -p "$corpus"
    options=(-max_total_time="$seconds" -timeout=5 -rss_limit_mb=2048 -max_len=65536
        -print_final_stats=1 -artifact_prefix="build/fuzz/crashes/$name-")
    if [ -f "tests/fuzz/dictionaries/$name.dict" ]; then
        options+=(-dict="tests/fuzz/dictionaries/$name.dict")
    fi
    echo "== $name: $seconds s =="
    status=0
    bash scripts/in-private-network.sh "build/fuzz/tests/fuzz/$name" "${options[@]}" \
        "$corpus" "tests/fuzz/corpus/$name" >"$log" 2>&1 || status=$?
    runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo '?')
    coverage=$(grep -o 'cov: [0-9]* ft: [0-9]*' "$log" | tail -1 || true)
    line="$name: $runs executions, ${coverage:-no coverage line}, corpus $(find "$corpus" -type f | wc -l) inputs"
    if ((status != 0)); then
        line+=" -- FAILED (see $log)"
        failed=1
        grep -E 'ERROR|Broken promise|runtime error' "$log" | head -5 || true
    fi
    echo "$line"
    summary+=("$line")
done

echo "== Summary ($seconds s each) =="
printf '%s\n' "${summary[@]}"
exit "$failed"
