#!/usr/bin/env bash
# check-format.sh [--fix]: checks that every C++ file of the repository is
# formatted by its .clang-format, with the clang-format version the install
# step pins (another version lays some lines out differently). With --fix it
# formats them instead.
set -euo pipefail
cd "$(dirname "$0")/.."
formatter=clang-format-14
if ! command -v "$formatter" >/dev/null; then
    echo "$formatter is missing: run bash scripts/install-deps.sh" >&2
    exit 1
fi
mode=(--dry-run -Werror)
[ "${1:-}" = --fix ] && mode=(-i)
git ls-files -z -- '*.cpp' '*.h' | xargs -0 "$formatter" "${mode[@]}"
