#!/usr/bin/env bash
# Find axes over a folder of calibration benchmark charts: every case and every picture it has
# (PNG and JPEG), each run by bench_calibrate (with the case's hint when it has one) and scored
# by score_calibration.py; one row per picture, then the pass rate, the failures reported as
# sure, and the times.
#
#   bench/calibration_table.sh DIR
#
# BENCH_BIN: the bench_calibrate program (default build/bench/bench/bench_calibrate).
# SCORE: score_calibration.py (default: beside DIR, or in ../shared/bench/calibration).
# PYTHON: python3 (default /usr/bin/python3).  BENCH_TIMEOUT: seconds per picture (60).
set -euo pipefail

[ $# -eq 1 ] || { echo "usage: $0 DIR" >&2; exit 2; }
DIR=$(cd "$1" && pwd)
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BIN=${BENCH_BIN:-$ROOT/build/bench/bench/bench_calibrate}
PY=${PYTHON:-/usr/bin/python3}
. "$ROOT/bench/find_scorer.sh"
SCORE=${SCORE:-$(find_scorer score_calibration.py calibration/)}
[ -x "$BIN" ] || { echo "no bench_calibrate at $BIN (build the bench preset, or set BENCH_BIN)" >&2; exit 1; }
[ -f "${SCORE:-}" ] || { echo "no score_calibration.py found (set SCORE)" >&2; exit 1; }

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT

# "case picture hint" per line, from index.json or from every case file.
"$PY" - "$DIR" >"$WORK/runs" <<'PYEOF'
import glob, json, os, sys
d = sys.argv[1]
index = os.path.join(d, "index.json")
if os.path.exists(index):
    names = json.load(open(index))["cases"]
else:
    names = sorted(os.path.basename(p)[:-5] for p in glob.glob(os.path.join(d, "*.json"))
                   if os.path.basename(p) != "index.json")
for name in names:
    case = json.load(open(os.path.join(d, name + ".json")))
    hint = case.get("target_axes_hint")
    for kind in sorted(case["images"], key=lambda k: (k != "png", k)):
        print(name, case["images"][kind], "%r,%r" % tuple(hint) if hint else "-")
PYEOF

echo "# $(basename "$BIN") on $DIR; load average $(cut -d' ' -f1-3 /proc/loadavg), $(nproc) cores"
printf '%-14s %-4s %-5s %-4s %10s %10s %-4s %6s %6s  %s\n' case pic score conf "x_err%" "y_err%" log ms cpu_ms note
: >"$WORK/rows"
while read -r name picture hint; do
    found=$WORK/found.txt
    rm -f "$found"
    args=("$DIR/$picture" --out "$found")
    [ "$hint" = "-" ] || args+=(--hint "$hint")
    rc=0
    timeout "${BENCH_TIMEOUT:-60}" "$BIN" "${args[@]}" 2>"$WORK/err" </dev/null || rc=$?
    last=$(tail -n1 "$WORK/err")
    conf=$(sed -n 's/.*confidence=\([a-z]*\).*/\1/p' <<<"$last")
    ms=$(sed -n 's/.* ms=\([0-9]*\).*/\1/p' <<<"$last")
    cpu=$(sed -n 's/.*cpu_ms=\([0-9]*\).*/\1/p' <<<"$last")
    note=$(grep -E '^[xy]: ' "$WORK/err" | grep -v ': sure$' | sed 's/^\([xy]\): [a-z]*, [0-9]* ticks, /\1 /' | paste -sd';' - || true)
    case $rc in
        0|2) ;;
        124) note="timeout" ;;
        *) note="failed ($rc): $last" ;;
    esac
    result=$("$PY" "$SCORE" "$DIR/$name.json" "$found" --json 2>/dev/null || true)
    read -r pass xe ye logok reason <<<"$("$PY" -c '
import json, sys
try:
    r = json.loads(sys.argv[1])
except ValueError:
    print("FAIL - - - unscored"); sys.exit()
f = lambda v: "-" if v is None else "%.4f" % v
print("PASS" if r["pass"] else "FAIL", f(r["x_err_pct"]), f(r["y_err_pct"]), "ok" if r["log_ok"] else "bad",
      (r["reason"] or "").replace(" ", "_"))' "$result")"
    [ "$pass" = PASS ] || note="${reason//_/ }${note:+ | $note}"
    kind=${picture##*.}
    printf '%-14s %-4s %-5s %-4s %10s %10s %-4s %6s %6s  %s\n' "$name" "$kind" "$pass" "${conf:--}" "$xe" "$ye" \
        "$logok" "${ms:--}" "${cpu:--}" "$note"
    echo "$pass ${conf:--} ${ms:--} ${cpu:--}" >>"$WORK/rows"
done <"$WORK/runs"

"$PY" - "$WORK/rows" <<'PYEOF'
import statistics, sys
rows = [line.split() for line in open(sys.argv[1])]
n = len(rows)
passed = sum(r[0] == "PASS" for r in rows)
high = sum(r[1] == "high" for r in rows)
high_fail = sum(r[1] == "high" and r[0] != "PASS" for r in rows)
times = [float(r[2]) for r in rows if r[2] != "-"]
cpu = [float(r[3]) for r in rows if len(r) > 3 and r[3] != "-"]
print("# %d pictures: %d pass (%.1f %%); %d high confidence, %d of them failing; %d low confidence passing"
      % (n, passed, 100.0 * passed / max(n, 1), high, high_fail, sum(r[1] == "low" and r[0] == "PASS" for r in rows)))
if times:
    print("# time ms: median %.0f, max %.0f" % (statistics.median(times), max(times)))
if cpu:
    print("# processor time ms: median %.0f, max %.0f" % (statistics.median(cpu), max(cpu)))
PYEOF
