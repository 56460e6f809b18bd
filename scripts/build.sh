#!/usr/bin/env bash
# build.sh DIR [cmake options...]: configures and builds one build tree.
# Callers pass every option that matters, so that a tree configured earlier
# with other options is set right again rather than reused as it was.
set -euo pipefail
dir=$1; shift
cmake -S "$(dirname "$0")/.." -B "$dir" -G Ninja "$@" >/dev/null
cmake --build "$dir" --parallel "$(nproc)"
