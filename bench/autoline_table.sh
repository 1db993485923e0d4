#!/usr/bin/env bash
# The Autoline tracer over a folder of benchmark charts: every case, every picture it has and
# every curve, each traced by bench_autoline and scored by score.py; one row per run, then
# the medians.
#
#   bench/autoline_table.sh DIR [--tolerance T] [--exact-refs]
#
# Without --tolerance, the program's start value.
# --exact-refs: the references clicked at their exact positions (as in a zoomed view), not at
# the top-left corner of their pixels; see bench_autoline.
#
# BENCH_BIN: the bench_autoline program (default build/bench/bench/bench_autoline).
# SCORE: score.py (default: found beside DIR, or in ../shared/bench from the repository).
# PYTHON: a python3 with numpy (default /usr/bin/python3).  BENCH_TIMEOUT: seconds per run (600).
set -euo pipefail

usage() { echo "usage: $0 DIR [--tolerance T] [--exact-refs]" >&2; exit 2; }
[ $# -ge 1 ] || usage
DIR=$(cd "$1" && pwd) || usage
shift
TOL=
EXACT=
EXTRA=()
while [ $# -gt 0 ]; do
    case $1 in
        --tolerance) [ $# -ge 2 ] || usage; TOL=$2; EXTRA+=(--tolerance "$2"); shift 2 ;;
        --exact-refs) EXTRA+=(--exact-refs); EXACT=1; shift ;;
        *) usage ;;
    esac
done

ROOT=$(cd "$(dirname "$0")/.." && pwd)
BIN=${BENCH_BIN:-$ROOT/build/bench/bench/bench_autoline}
PY=${PYTHON:-/usr/bin/python3}
. "$ROOT/bench/find_scorer.sh"
SCORE=${SCORE:-$(find_scorer score.py "")}
[ -x "$BIN" ] || { echo "no bench_autoline at $BIN (build the bench preset, or set BENCH_BIN)" >&2; exit 1; }
[ -f "${SCORE:-}" ] || { echo "no score.py found (set SCORE)" >&2; exit 1; }

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT

# The runs: "case picture curve" per line, from index.json or from every case file.
"$PY" - "$DIR" >"$WORK/runs" <<'EOF'
import glob, json, os, sys
d = sys.argv[1]
index = os.path.join(d, "index.json")
if os.path.exists(index):
    names = json.load(open(index))["cases"]
else:
    names = sorted(os.path.basename(p)[:-5] for p in glob.glob(os.path.join(d, "*.json"))
                   if not p.endswith("/index.json") and ".truth" not in os.path.basename(p))
for name in names:
    case = json.load(open(os.path.join(d, name + ".json")))
    for image in sorted(case["images"], key=lambda k: (k != "png", k)):
        for curve in case["curves"]:
            print(name, image, curve["id"])
EOF

echo "# tolerance ${TOL:-as the program starts}${EXACT:+, --exact-refs}, $(basename "$BIN"), $DIR"
printf '%-12s %-4s %5s %7s %6s %9s %9s %9s %9s  %s\n' \
    case pic curve points picks "y_rms%" coverage "dist_rms%" ms note
: >"$WORK/rows"
while read -r name image curve; do
    traced=$WORK/traced.tsv
    rm -f "$traced"
    rc=0
    timeout "${BENCH_TIMEOUT:-600}" "$BIN" "$DIR/$name.json" --image "$image" --curve "$curve" \
        ${EXTRA[@]+"${EXTRA[@]}"} --out "$traced" 2>"$WORK/err" </dev/null || rc=$?
    stats=$(grep -E '^points=' "$WORK/err" | tail -n1 || true)
    points=$(sed -n 's/.*points=\([0-9]*\).*/\1/p' <<<"$stats")
    picks=$(sed -n 's/.*picks=\([0-9]*\).*/\1/p' <<<"$stats")
    ms=$(sed -n 's/.*trace_ms=\([0-9.]*\).*/\1/p' <<<"$stats")
    case $rc in
        0) note= ;;
        3) note="not ended$(sed -n 's/^bench_autoline: cancelled: \(.*\); the last points at picture \(.*\)/: \1; last \2/p' "$WORK/err")" ;;
        124) note="timeout" ;;
        *) note="failed ($rc): $(grep -v '^points=' "$WORK/err" | tail -n1)" ;;
    esac
    scores="- - -"
    if [ -s "$traced" ]; then
        scores=$("$PY" "$SCORE" "$DIR/$name.json" "$traced" --curve "$curve" --json 2>/dev/null | "$PY" -c '
import json, sys
r = json.load(sys.stdin)
f = lambda v, n: "-" if v is None else "%.*f" % (n, v)
print(f(r["y_rms_pct"], 3), f(r["coverage"], 4), f(r["dist_rms_pct"], 3))' || echo "- - -")
    fi
    read -r yrms cov drms <<<"$scores"
    printf '%-12s %-4s %5s %7s %6s %9s %9s %9s %9s%s\n' "$name" "$image" "$curve" \
        "${points:--}" "${picks:--}" "$yrms" "$cov" "$drms" "${ms:--}" "${note:+  $note}"
    if [ -z "$note" ]; then echo "${points:--} ${picks:--} $yrms $cov $drms ${ms:--}" >>"$WORK/rows"; fi
done <"$WORK/runs"

# Medians over the runs that traced to the end.
"$PY" - "$WORK/rows" "$(wc -l <"$WORK/runs")" <<'EOF'
import statistics, sys
rows = [line.split() for line in open(sys.argv[1])]
cols = list(zip(*rows))
def med(k, n):
    vals = [float(v) for v in cols[k] if v != "-"] if cols else []
    return "%.*f" % (n, statistics.median(vals)) if vals else "-"
print("%-12s %-4s %5s %7s %6s %9s %9s %9s %9s" % ("median", "", "", med(0, 0), med(1, 0), med(2, 3),
                                                 med(3, 4), med(4, 3), med(5, 1)), end="")
print("  (%d of %s runs traced to the end)" % (len(rows), sys.argv[2]))
EOF
