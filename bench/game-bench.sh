#!/usr/bin/env bash
# Measures the game as a player runs it, each figure beside its yardstick from
# the same run:
#   - the board's work per 10 ms tick (Google Benchmark), target < 300 ns;
#   - against a bare Qt window of the same size with a menu and a status bar
#     (bench/costs.py): start-up until the window is visible, first start in an
#     empty directory ≤ 1.15×, later start ≤ 1.05×; peak memory ≤ +5 MiB;
#     wake-ups and CPU at rest, at start and after some turns (within 2
#     wake-ups a second and 0.1 % of a core of the bare window); CPU while
#     cards turn.
# Needs Xvfb and xdotool. Usage: bench/game-bench.sh [STARTS] (default 60: fewer move the ratios by about ±3 %)
set -euo pipefail

source "$(dirname "$0")/build.sh"
bench_build game board_bench dvoyliki minimal_window
game="$build/app/dvoyliki"
minimal="$build/bench/minimal_window"

work="$(mktemp -d)"
# -noreset: an X server resets when its last client leaves; each xdotool poll
# was that client, and a program that connected during the reset died
# ("could not connect to display", or SIGSEGV) on a run's first start.
Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp -noreset 3>"$work/display" 2>/dev/null &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$work/display")"
export QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$work"
cd "$work"

echo "== Board work per tick (best of 5 repetitions)"
"$build/bench/board_bench" --benchmark_repetitions=5 --benchmark_min_time=0.2 \
  --benchmark_format=json 2>/dev/null >"$work/board.json"
python3 - "$work/board.json" <<'PY'
import json, sys
t = {}
for b in json.load(open(sys.argv[1]))["benchmarks"]:
    if b.get("run_type") == "iteration":
        per = b["real_time"] / (b.get("items_per_second", 0) and b["items_per_second"] * b["real_time"] / 1e9 or 1)
        t.setdefault(b["run_name"], []).append(per)
scan = min(t["BM_ScanFlags"])
for name, label in (("BM_TickAtRest", "tick, board at rest"), ("BM_TickDuringTurns", "tick, during turns")):
    best = min(t[name])
    print(f"  {label:<22}{best:8.1f} ns  ({best / scan:.1f}× one scan of 24 flags)   target < 300 ns: "
          + ("met" if best < 300 else "MISSED"))
PY

python3 "$src/bench/costs.py" "$game" "$minimal" "${1:-60}"
