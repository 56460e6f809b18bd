#!/usr/bin/env bash
# Builds the program and starts it with the given arguments.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh build/release -DPONDEL_BUILD_TESTS=OFF -DPONDEL_BUILD_BENCHMARKS=OFF
exec build/release/src/pondel "$@"
