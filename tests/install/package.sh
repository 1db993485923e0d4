#!/usr/bin/env bash
# The Debian package made by `cpack -G DEB` from the build folder holds exactly the installed
# files, owned by root, depends on what the program links, loads and runs by name, and has no
# maintainer scripts (which would leave it half-installed after a removal).
# Usage: package.sh <build folder> <private folder under the prefix>
set -euo pipefail
BUILD=$(cd "$1" && pwd)
PRIVATE=$2
HERE=$(cd "$(dirname "$0")" && pwd)
OUT=$(mktemp -d)
trap 'rm -rf "$OUT"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

(cd "$BUILD" && cpack -G DEB -B "$OUT" >"$OUT/cpack.log" 2>&1) || { cat "$OUT/cpack.log" >&2; fail "cpack"; }
DEB=$(ls "$OUT"/chartrek_*_*.deb) || fail "no package made"
[ "$(dpkg-deb -f "$DEB" Package)" = chartrek ] || fail "the package is not named chartrek"

dpkg-deb -c "$DEB" >"$OUT/contents"
diff -u <(sed "s|@PRIVATE@|$PRIVATE|" "$HERE/installed-files.txt") <(awk '$1 !~ /^d/ { sub(/^\./, "", $6); print $6 }' "$OUT/contents" | sort) ||
    fail "the package's files differ from the installed ones"
awk '$2 != "root/root" { print; bad = 1 } END { exit bad }' "$OUT/contents" || fail "files not owned by root"

# Linked: Qt 6, SANE, libzip (project files), Poppler (the PDF helper) and Tesseract. Loaded or run
# by name: Qt's SVG plugins, its TIFF and WebP readers, the metafile converter and its fonts,
# Tesseract's English model.
depends=$(dpkg-deb -f "$DEB" Depends | tr -d ' ' | tr ',' '\n' | sed 's/(.*//')
for needed in libqt6core6 libqt6gui6 libqt6widgets6 libqt6network6 libqt6svg6 libsane1 \
    libpoppler-qt6-3 libzip4 libtesseract5 qt6-image-formats-plugins libwmf-bin fonts-urw-base35 tesseract-ocr-eng; do
    grep -qx "$needed" <<<"$depends" || fail "the package does not depend on $needed: $depends"
done
! dpkg-deb --ctrl-tarfile "$DEB" | tar -t | grep -E '(pre|post)(inst|rm)$' || fail "the package has maintainer scripts"
echo "PASS: $(basename "$DEB"), $(wc -l <"$HERE/installed-files.txt") files"
