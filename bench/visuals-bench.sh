#!/usr/bin/env bash
# Builds and runs the painting benchmark: a card picture at widths 10 to 100 and
# one clip frame, each printed in microseconds and as a ratio to a plain
# 100 × 100 copy measured in the same run.
# Usage: bench/visuals-bench.sh [extra benchmark flags]
set -euo pipefail

source "$(dirname "$0")/build.sh"
bench_build visuals visuals_bench
out="$build/visuals-bench.json"

# Best of 10 repetitions, medians beside them: the machine is shared.
"$build/bench/visuals_bench" --benchmark_repetitions=10 --benchmark_min_time=0.2 \
  --benchmark_display_aggregates_only=true --benchmark_out="$out" --benchmark_out_format=json "$@" \
  >/dev/null

python3 - "$out" <<'PY'
import json, statistics, sys
times = {}
for b in json.load(open(sys.argv[1]))["benchmarks"]:
    if b.get("run_type") == "iteration":
        assert b["time_unit"] == "ns"
        times.setdefault(b["run_name"], []).append(b["real_time"] / 1000)
copy = min(times["BM_Copy100"])
print(f"{'paint':<22}{'best µs':>9}{'median µs':>11}{'÷ copy':>8}   target")
for name, t in times.items():
    label = name.replace("BM_CardPaint/", "card at width ").replace("BM_", "")
    target = "" if name == "BM_Copy100" else ("< 20 µs " + ("met" if min(t) < 20 else "MISSED"))
    print(f"{label:<22}{min(t):>9.2f}{statistics.median(t):>11.2f}{min(t) / copy:>8.2f}   {target}")
PY
