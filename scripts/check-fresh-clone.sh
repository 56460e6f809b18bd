#!/usr/bin/env bash
# The path a newcomer takes: a fresh clone of the committed tree, the
# README's run command (asked only for the version, so that it needs no
# display), then the README's test command. Run it before handing work in.
set -euo pipefail
source=$(cd "$(dirname "$0")/.." && pwd)
clone=$(mktemp -d /tmp/pondel-fresh-XXXXXX)
trap 'rm -rf "$clone"' EXIT
git clone --quiet "$source" "$clone/pondel"
cd "$clone/pondel"
echo "== Run command =="
# /V prints the version and, with standard output on a pipe, exits with 3.
status=0
version=$(bash scripts/run.sh /V) || status=$?
if [ "$status" -ne 3 ] || [[ "$version" != *$'\nVexmoor Ver.3.02' ]]; then
    echo "The run command failed ($status): $version" >&2
    exit 1
fi
echo "${version##*$'\n'}"
echo "== Test command =="
bash scripts/test.sh
