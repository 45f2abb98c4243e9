#!/usr/bin/env bash
# Measures the game as a player runs it, each figure beside its yardstick from
# the same run:
#   - the board's work per 10 ms tick (Google Benchmark), target < 300 ns;
#   - start-up to the first painted board against a minimal Qt window with a
#     menu and a status bar (hyperfine), target ≤ 1.2×, and the peak memory of
#     both, target ≤ the window's + 10 MiB;
#   - CPU while idle with the tick running, target < 1 % of a core over 10 s,
#     and while cards turn continuously, target < 5 %.
# Needs Xvfb, xdotool and hyperfine. Usage: bench/game-bench.sh
set -euo pipefail

source "$(dirname "$0")/build.sh"
bench_build game board_bench dvoyliki dvoyliki_first_paint minimal_window
game="$build/app/dvoyliki"
first="$build/bench/dvoyliki_first_paint"
minimal="$build/bench/minimal_window"

work="$(mktemp -d)"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
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

echo "== Start-up to the first painted board (hyperfine, 30 runs each)"
hyperfine --warmup 3 --runs 30 --export-json "$work/startup.json" -N "$minimal" "$first" >/dev/null 2>&1
python3 - "$work/startup.json" <<'PY'
import json, sys
r = json.load(open(sys.argv[1]))["results"]
m, g = r[0], r[1]
ratio = g["median"] / m["median"]
print(f"  minimal window  median {m['median']*1000:7.1f} ms  (min {m['min']*1000:.1f})")
print(f"  the game        median {g['median']*1000:7.1f} ms  (min {g['min']*1000:.1f})")
print(f"  ratio of medians {ratio:.2f}×   target ≤ 1.2×: " + ("met" if ratio <= 1.2 else "MISSED"))
PY

echo "== Peak memory (largest resident set over 10 runs each)"
python3 - "$minimal" "$first" <<'PY'
import resource, subprocess, sys, os
def peak(cmd):
    worst = 0
    for _ in range(10):
        pid = os.fork()
        if pid == 0:
            os.execv(cmd, [cmd])
        _, status, usage = os.wait4(pid, 0)
        worst = max(worst, usage.ru_maxrss)
    return worst / 1024
m, g = peak(sys.argv[1]), peak(sys.argv[2])
print(f"  minimal window {m:6.1f} MiB, the game {g:6.1f} MiB: +{g - m:.1f} MiB   target ≤ +10 MiB: "
      + ("met" if g - m <= 10 else "MISSED"))
PY

cpu_of() { # pid seconds → percent of one core
    local pid=$1 secs=$2 hz t0 t1
    hz=$(getconf CLK_TCK)
    t0=$(awk '{print $14 + $15}' "/proc/$pid/stat")
    sleep "$secs"
    t1=$(awk '{print $14 + $15}' "/proc/$pid/stat")
    python3 -c "print(f'{100 * ($t1 - $t0) / $hz / $secs:.2f}')"
}

echo "== CPU over 10 s"
"$game" & pid=$!
xdotool search --sync --name "Двойлики" >/dev/null
sleep 1
idle=$(cpu_of $pid 10)
# A player who never stops: a turn of two cards every 3 s, a new deal before each.
(
    wid=$(xdotool search --name "Двойлики" | head -1)
    eval "$(xdotool getwindowgeometry --shell "$wid")"
    for _ in $(seq 8); do
        xdotool key --window "$wid" space 2>/dev/null
        xdotool mousemove $((X + 60)) $((Y + 80)) click 1
        sleep 0.75
        xdotool mousemove $((X + 160)) $((Y + 80)) click 1
        sleep 2.25
    done
) & player=$!
sleep 0.5
turning=$(cpu_of $pid 10)
kill $player 2>/dev/null || true
wait $player 2>/dev/null || true
kill $pid
echo "  idle, tick running     ${idle} % of a core   target < 1 %: $(python3 -c "print('met' if $idle < 1 else 'MISSED')")"
echo "  cards turning          ${turning} % of a core   target < 5 %: $(python3 -c "print('met' if $turning < 5 else 'MISSED')")"
