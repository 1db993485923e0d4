#!/usr/bin/env bash
# The installed program, as a package would put it under /usr: `cmake --install` into a
# temporary DESTDIR installs exactly the expected files; the menu entry, the software-centre data
# and the manual page pass their checkers; and the installed program, started from another
# folder with nothing of the build tree to lean on, shows its window with a chart and traces it
# with Autoline, whose pixel-probe module it must find in its own library folder.
# Usage: installed.sh <build folder> <private folder under the prefix> <screenprobe>
set -euo pipefail
BUILD=$1
PRIVATE=$2
PROBE=$3
HERE=$(cd "$(dirname "$0")" && pwd)
ROOT=$(mktemp -d)
LOG=$(mktemp)
trap 'rm -rf "$ROOT" "$LOG"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

DESTDIR=$ROOT cmake --install "$BUILD" --prefix /usr >"$LOG" 2>&1 || { cat "$LOG" >&2; fail "cmake --install"; }
diff -u <(sed "s|@PRIVATE@|$PRIVATE|" "$HERE/installed-files.txt") <(cd "$ROOT" && find . ! -type d | sed 's/^\.//' | sort) ||
    fail "the installed files differ from the expected ones"

desktop-file-validate "$ROOT/usr/share/applications/chartrek.desktop" || fail "the desktop entry is not valid"
appstreamcli validate --no-net "$ROOT/usr/share/metainfo/chartrek.metainfo.xml" || fail "the metainfo is not valid"
# groff's warnings (unknown requests, bad escapes) go to stderr while the page renders.
warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$ROOT/usr/share/man/man1/chartrek.1.gz" 2>&1 >"$ROOT/page.txt") || true
[ -z "$warnings" ] || fail "the manual page has faults: $warnings"
grep -q 'chartrek \[FILE\]' "$ROOT/page.txt" || fail "the manual page has no synopsis"

# The Autoline run of the end-to-end tests, by the installed program from a folder of its own.
mkdir "$ROOT/elsewhere"
cd "$ROOT/elsewhere"
env -u CHARTREK_PIXPROBE_DIR -u CHARTREK_PDFPAGE_DIR \
    bash "$HERE/../e2e/autoline.sh" "$ROOT/usr/bin/chartrek" "$PROBE" ||
    fail "the installed program does not trace a chart"
