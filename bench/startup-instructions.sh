#!/usr/bin/env bash
# Instructions the game executes from its start through DVL_IDLE_SECONDS (20) of rest,
# against the bare Qt window of game-bench.sh, at device pixel ratio 1 and 2
# (QT_SCALE_FACTOR, offscreen), counted by callgrind. Unlike the wall-clock figures of
# game-bench.sh, the counts do not move with the machine's load; they leave out the X
# server's work. A later start: the directory already holds default.iml and records.dvl.
# Needs valgrind. Usage: bench/startup-instructions.sh
set -euo pipefail

source "$(dirname "$0")/build.sh"
bench_build game dvoyliki minimal_window
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
chmod 700 "$work"
cd "$work"
count() { # RATIO PROGRAM: its instructions, from callgrind's summary
    # (ended by timeout, the program's exit status is not its own)
    QT_QPA_PLATFORM=offscreen QT_SCALE_FACTOR=$1 XDG_RUNTIME_DIR="$work" \
        timeout -s INT "${DVL_IDLE_SECONDS:-20}" valgrind --tool=callgrind \
        --callgrind-out-file=/dev/null "$2" 2>&1 >/dev/null |
        sed -n 's/.*I *refs: *//p' | tr -d , || true
}
count 1 "$build/app/dvoyliki" >/dev/null # writes default.iml and records.dvl
for ratio in 1 2; do
    bare=$(count "$ratio" "$build/bench/minimal_window")
    game=$(count "$ratio" "$build/app/dvoyliki")
    awk -v r="$ratio" -v b="$bare" -v g="$game" 'BEGIN {
        printf "ratio %s: bare window %.2f M, game %.2f M instructions: %.3f×\n", r, b / 1e6, g / 1e6, g / b }'
done
