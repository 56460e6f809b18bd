#!/usr/bin/env bash
# screenshot.sh [BUILD_TREE]: remakes docs/screenshot.png, the window over a
# small host list as the README shows it. The window runs on a virtual X
# server (Xvfb) inside a private network namespace, where the hosts that
# show as up are addresses of the namespace's own loopback; nothing is sent
# to a real network. Without BUILD_TREE it builds the tree the run command
# uses (build/run). The language follows LANG (LANG=ja_JP.UTF-8 for the
# Japanese window); PONDEL_SCREENSHOT names another file to write.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "${1:-}" = --inside ]; then
    # In the namespace: the answering hosts, the display, the window.
    folder=$2 output=$3
    for address in 192.0.2.10 192.0.2.21 192.0.2.40; do
        ip address add "$address/32" dev lo
    done
    display=:77
    Xvfb "$display" -screen 0 1024x640x24 -br -nolisten tcp &
    server=$!
    trap 'kill "$server" "${window:-}" 2>/dev/null || true' EXIT
    for _ in $(seq 50); do
        [ -e /tmp/.X11-unix/X77 ] && break
        sleep 0.1
    done
    DISPLAY=$display QT_QPA_PLATFORM=xcb "$folder/pondel" &
    window=$!
    # The window's first status pass ends one echo timeout after it starts.
    sleep 4
    import -display "$display" -window root "$folder/screen.png"
    kill "$window"
    wait "$window" || true
    convert "$folder/screen.png" -trim +repage "$output"
    exit 0
fi

bash scripts/install-deps.sh --screenshot
tree=${1:-}
if [ -z "$tree" ]; then
    bash scripts/build.sh build/run -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPONDEL_GUI=ON \
        -DPONDEL_BUILD_TESTS=OFF -DPONDEL_BUILD_BENCHMARKS=OFF -DPONDEL_SANITIZERS=
    tree=build/run
fi
output=$(realpath -m "${PONDEL_SCREENSHOT:-docs/screenshot.png}")

folder=$(mktemp -d /tmp/pondel-screenshot-XXXXXX)
trap 'rm -rf "$folder"' EXIT
cp "$tree/src/pondel" "$tree/src/pondel-window.so" "$folder/"
# Documentation addresses and MACs only.
host() {
    printf '[HOST_%s]\r\nHOST_NAME=%s\r\nCOMMENT=%s\r\nIP_ADDR=%s\r\nNET_MASK=255.255.255.0\r\nMAC_ADDR=%s\r\n' "$@"
}
{
    printf '[SETTING]\r\nDEFAULT_HOST=1\r\n'
    host 0 nas "File server, basement" 192.0.2.10 00:00:5E:00:53:10
    host 1 reception "Front desk PC" 192.0.2.21 00:00:5E:00:53:21
    host 2 build-box "Nightly builds" 192.0.2.30 00:00:5E:00:53:30
    host 3 media "Living room" 192.0.2.40 00:00:5E:00:53:40
    host 4 lab-1 "Test bench" 192.0.2.51 00:00:5E:00:53:51
    host 5 lab-2 "Test bench" 192.0.2.52 00:00:5E:00:53:52
} >"$folder/pondel.ini"
bash scripts/in-private-network.sh bash "$PWD/scripts/screenshot.sh" --inside "$folder" "$output"
echo "Wrote $output"
