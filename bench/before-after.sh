#!/usr/bin/env bash
# This checkout against another (the commit before a change, exported or
# checked out apart), each measured by its own scripts in the same run and
# each against its own yardsticks: the codec (lzrw-bench.sh), then the tick
# and start-up at device pixel ratios 1 and 2 (game-bench.sh under
# QT_SCALE_FACTOR), the two checkouts alternating.
# Usage: bench/before-after.sh OTHER_CHECKOUT [STARTS] (default 30)
set -euo pipefail
after="$(cd "$(dirname "$0")/.." && pwd)"
before="$(cd "${1:?usage: $0 OTHER_CHECKOUT [STARTS]}" && pwd)"
starts=${2:-30}

# One build per checkout for both scripts.
for tree in "$before" "$after"; do
    echo "#### codec, $tree"
    DVL_BENCH_BUILD="$tree/build/bench-game" "$tree/bench/lzrw-bench.sh" --benchmark_filter='/strip'
done
for ratio in 1 2; do
    for tree in "$before" "$after"; do
        echo "#### tick and start-up at a ratio of $ratio, $tree"
        DVL_BENCH_BUILD="$tree/build/bench-game" QT_SCALE_FACTOR=$ratio \
            "$tree/bench/game-bench.sh" "$starts"
    done
done
