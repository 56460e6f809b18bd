#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need,
# asking apt only when something is missing. With --benchmark-peers it adds
# the peer tools whose figures the benchmarks print beside Pondel's; with
# --screenshot what scripts/screenshot.sh needs: a virtual X server,
# ImageMagick and a Japanese font.
set -euo pipefail

packages=(
    cmake ninja-build g++ clang clang-format-14 libclang-rt-dev pkg-config git dpkg-dev file desktop-file-utils appstream lintian groff-base
    qt6-base-dev qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools
    libgtest-dev libgmock-dev libbenchmark-dev
    iproute2 iputils-ping util-linux mount libcap2-bin fonts-dejavu-core locales
    ieee-data
)
case "${1:-}" in
--benchmark-peers) packages+=(fping nmap) ;;
--screenshot) packages+=(xvfb imagemagick fonts-ipafont-gothic) ;;
esac

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' \
        || missing+=("$package")
done

if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
