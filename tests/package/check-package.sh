#!/usr/bin/env bash
# check-package.sh DEB: checks a built package the way a distribution would:
# its contents, the desktop entry and AppStream data, lintian where it is
# installed, and that the program unpacked into a scratch root runs.
set -euo pipefail
deb=$(realpath "$1")
scratch=$(mktemp -d /tmp/pondel-package-XXXXXX)
trap 'rm -rf "$scratch"' EXIT
failures=0
fail() { echo "package check failed: $*" >&2; failures=$((failures + 1)); }

contents=$(dpkg-deb -c "$deb" | awk '{print $NF}' | sed 's|^\./|/|')
for path in /usr/bin/pondel \
    /usr/share/applications/org.pondel.Pondel.desktop \
    /usr/share/metainfo/org.pondel.Pondel.metainfo.xml \
    /usr/share/icons/hicolor/scalable/apps/pondel.svg \
    /usr/share/icons/hicolor/{16x16,32x32,48x48,64x64,128x128,256x256}/apps/pondel.png \
    /usr/share/man/man1/pondel.1.gz \
    /usr/share/doc/pondel/copyright /usr/share/doc/pondel/changelog.gz; do
    grep -qx "$path" <<<"$contents" || fail "missing $path"
done
grep -qx '/usr/lib/[^/]*/pondel/pondel-window.so' <<<"$contents" || fail "missing the window module"

control=$(dpkg-deb -f "$deb" Depends Suggests)
grep -q 'iputils-ping' <<<"$control" || fail "does not depend on iputils-ping"
grep -q 'ieee-data' <<<"$control" || fail "does not depend on ieee-data"
grep -q 'libqt6widgets6' <<<"$control" || fail "library dependencies were not found"
grep -q 'Suggests: samba-common-bin' <<<"$control" || fail "does not suggest samba-common-bin"

dpkg-deb -x "$deb" "$scratch/root"
desktop-file-validate "$scratch/root/usr/share/applications/org.pondel.Pondel.desktop" \
    || fail "desktop entry"
appstreamcli validate --no-net "$scratch/root/usr/share/metainfo/org.pondel.Pondel.metainfo.xml" \
    >/dev/null || fail "AppStream data"
zcat "$scratch/root/usr/share/man/man1/pondel.1.gz" | groff -man -Tutf8 -ww -z 2>"$scratch/man.log" \
    && [ ! -s "$scratch/man.log" ] || fail "manual page: $(cat "$scratch/man.log")"

# /V prints an empty line, then the version; exit code 3 on a pipe.
status=0
version=$("$scratch/root/usr/bin/pondel" /V) || status=$?
[ "$status" -eq 3 ] && [ "$version" = $'\nVexmoor Ver.3.02' ] \
    || fail "unpacked pondel /V gave $status and printed '$version'"

# Unpacked, the program finds its window module where it was installed: the
# window comes up and runs until it is stopped (status 124), where a missing
# module would end it at once with status 1.
status=0
HOME="$scratch/home" QT_QPA_PLATFORM=offscreen timeout 3 "$scratch/root/usr/bin/pondel" \
    2>"$scratch/window.log" || status=$?
[ "$status" -eq 124 ] || fail "unpacked pondel without switches gave $status: $(cat "$scratch/window.log")"

if command -v lintian >/dev/null; then
    errors=$(lintian --no-tag-display-limit "$deb" 2>/dev/null | grep '^E:' || true)
    [ -z "$errors" ] || fail "lintian: $errors"
fi

if ((failures)); then
    exit 1
fi
echo "package checks passed: $(basename "$deb")"
