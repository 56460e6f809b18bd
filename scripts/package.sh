#!/usr/bin/env bash
# Builds the Debian package pondel_<version>_<arch>.deb into the current
# folder of the repository: a Release build installed under /usr, with its
# library dependencies found by dpkg-shlibdeps.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh build/package -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
    -DPONDEL_GUI=ON -DPONDEL_BUILD_TESTS=OFF -DPONDEL_BUILD_BENCHMARKS=OFF -DPONDEL_SANITIZERS=
rm -f build/package/pondel_*.deb
(cd build/package && cpack -G DEB >/dev/null)
cp build/package/pondel_*.deb .
ls pondel_*.deb
