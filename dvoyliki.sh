#!/usr/bin/env bash
# Sets up, builds and runs «Двойлики» on Debian 12.
#   ./dvoyliki.sh run    install what is missing, build a release build, start the game
#   ./dvoyliki.sh test   install what is missing, build, run every test and the fuzz smoke runs
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
cd "$here"

build_packages=(cmake ninja-build g++ pkg-config qt6-base-dev libgl-dev fonts-dejavu-core fonts-liberation2)
test_packages=(libgtest-dev libgmock-dev clang libclang-rt-14-dev imagemagick xvfb xdotool
               libbenchmark-dev liblz4-dev zlib1g-dev hyperfine ffmpeg libx11-dev)

say() { printf '\n== %s\n' "$*"; }

as_root() {
    if [ "$(id -u)" -eq 0 ]; then
        "$@"
    elif command -v sudo >/dev/null 2>&1; then
        sudo "$@"
    else
        echo "Need root to install packages: run as root or install sudo." >&2
        exit 1
    fi
}

install_missing() {
    local missing=()
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    say "Installing ${missing[*]}"
    as_root apt-get update -qq
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

ncpu() { nproc 2>/dev/null || echo 2; }

build() {
    local preset=$1
    say "Building ($preset)"
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" -j "$(ncpu)"
}

cmd_run() {
    install_missing "${build_packages[@]}"
    build release
    exec build/release/app/dvoyliki
}

fuzz_smoke() {
    build fuzz
    local seconds=${DVL_FUZZ_SECONDS:-20}
    for target in fuzz_unpack fuzz_roundtrip fuzz_iml fuzz_avi_clip fuzz_records; do
        say "Fuzz smoke: $target (${seconds} s)"
        local work
        work="$(mktemp -d)"
        cp -r "fuzz/corpus/$target/." "$work/"
        "build/fuzz/fuzz/$target" -max_total_time="$seconds" -rss_limit_mb=4096 \
            -artifact_prefix="build/fuzz/$target-" "$work" 2>&1 | tail -n 3
        rm -rf "$work"
    done
}

cmd_test() {
    install_missing "${build_packages[@]}" "${test_packages[@]}"
    build debug
    say "Tests"
    ctest --preset debug -j "$(ncpu)"
    fuzz_smoke
    build bench
    say "All tests passed"
}

case "${1:-}" in
run) cmd_run ;;
test) cmd_test ;;
*)
    echo "usage: $0 run|test" >&2
    exit 2
    ;;
esac
