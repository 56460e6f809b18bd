#!/usr/bin/env bash
# Builds the program and starts it with the given arguments. It has a build
# tree of its own, so it never meets a tree the test command configured.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh build/run -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPONDEL_GUI=ON \
    -DPONDEL_BUILD_TESTS=OFF -DPONDEL_BUILD_BENCHMARKS=OFF -DPONDEL_SANITIZERS=
exec build/run/src/pondel "$@"
