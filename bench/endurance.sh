#!/usr/bin/env bash
# Plays whole games one after another with the real release binary under its
# own Xvfb (the end-to-end test's scripted player, which reads the screen),
# each new game dealt from the menu, and reports the resident memory after
# each game and how many ended with "Конец игры!".
# Goal: every game ends, no card is left on the board, and the resident memory
# after the last game is within 1 MiB of that after the first.
# Usage: bench/endurance.sh [GAMES] (default 10)
set -euo pipefail

src="$(cd "$(dirname "$0")/.." && pwd)"
build="${DVL_BENCH_BUILD:-$src/build/bench-endurance}"
cmake -S "$src" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER=g++ \
  -DDVL_BUILD_TESTS=ON >/dev/null
cmake --build "$build" --target e2e_test -j2 >/dev/null

games=${1:-10}
log="$(mktemp)"
trap 'rm -f "$log"' EXIT
status=0
DVL_ENDURANCE_GAMES=$games "$build/tests/e2e/e2e_test" --gtest_also_run_disabled_tests \
  --gtest_filter='E2e.DISABLED_GamesOneAfterAnother' >"$log" 2>&1 || status=$?
grep -E '^game [0-9]+:|^games ended|Failure|error|cards are left' "$log" || true
python3 - "$log" "$games" <<'PY'
import re, sys
text = open(sys.argv[1]).read()
games = int(sys.argv[2])
mem = [float(m) for m in re.findall(r"^game \d+: .* resident ([\d.]+) MiB", text, re.M)]
ended = len(re.findall(r"^game \d+: \d+ clicks, ended,", text, re.M))
if len(mem) >= 2:
    grow = mem[-1] - mem[0]
    print(f"== {ended} of {games} games ended normally; resident after game {len(mem)} "
          f"minus after game 1: {grow:+.2f} MiB   goal within 1 MiB: "
          + ("met" if abs(grow) <= 1 and ended == games else "MISSED"))
PY
exit $status
