#!/usr/bin/env bash
# A game stopped with SIGSTOP while it holds the records file's lock, and a second game
# on the same file that starts, plays a whole game to a record, looks at the records with
# Ctrl+R and exits meanwhile (bench/RecordsLockProbe.cpp). Reports how long the second
# game's window stood still at most (goal: 100 ms; only the save at exit may wait longer)
# and whether both games' records are in the file.
# Needs Xvfb, xdotool, ImageMagick and strace. Usage: bench/records-lock.sh [SECONDS|exit]
# (how long the first game stays stopped; 10 unless given; "exit": until the second has exited)
set -euo pipefail

src="$(cd "$(dirname "$0")/.." && pwd)"
build="${DVL_BENCH_BUILD:-$src/build/bench-records}"
cmake -S "$src" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER=g++ \
    -DDVL_BUILD_TESTS=ON -DDVL_BUILD_BENCH=ON >/dev/null
cmake --build "$build" --target records_lock_probe -j2 >/dev/null
DVL_STOP_SECONDS=${1:-10} "$build/bench/records_lock_probe"
