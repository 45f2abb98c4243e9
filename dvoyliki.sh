#!/usr/bin/env bash
# Sets up, builds and runs «Двойлики» on Debian 12 or 13.
#   ./dvoyliki.sh run    install what is missing, build a release build, start the game
#                        through its launcher, its files in build/play/dvoyliki
#   ./dvoyliki.sh test   install what is missing, build, run every test and the fuzz smoke runs;
#                        with CI set, a test that skips fails it, as it proved nothing
#   ./dvoyliki.sh package  install what is missing, build the Debian package, print its path
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
cd "$here"

# Names that Debian 12 and 13 both have; no compiler version is pinned.
build_packages=(cmake ninja-build g++ pkg-config qt6-base-dev libgl-dev fonts-dejavu-core fonts-liberation2)
test_packages=(libgtest-dev libgmock-dev clang libclang-rt-dev imagemagick xvfb xdotool
               libbenchmark-dev liblz4-dev zlib1g-dev hyperfine ffmpeg libx11-dev
               desktop-file-utils appstream xfwm4 openbox mutter dbus at-spi2-core python3-pyatspi
               llvm lintian devscripts)
# dpkg-shlibdeps computes the package's dependencies; CPack finds the binaries with file.
package_packages=(dpkg-dev file)

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

# apt-get as root. Another package manager (unattended upgrades, a software
# centre, the first minutes of a new desktop) may hold apt's or dpkg's lock:
# wait for it, at most DVL_APT_WAIT seconds, then give up with exit status 1. apt
# fails at once on a held lock without touching anything, so the same command is
# simply tried again.
apt_get() {
    local limit=${DVL_APT_WAIT:-300} waited=0 log rc
    log=$(mktemp)
    while :; do
        rc=0
        as_root env LC_ALL=C DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=0 "$@" \
            2>"$log" || rc=$?
        if [ "$rc" -eq 0 ] || ! grep -q 'Could not get lock' "$log"; then
            cat "$log" >&2
            rm -f "$log"
            return "$rc"
        fi
        if [ "$waited" -ge "$limit" ]; then
            echo "The package lock is still held after $limit s: $(grep -m 1 'Could not get lock' "$log" | sed 's/^E: //')" >&2
            echo "Let that package manager finish (or stop it), then run this again." >&2
            rm -f "$log"
            exit 1
        fi
        [ "$waited" -gt 0 ] || echo "Another package manager holds the package lock; waiting for it (at most $limit s)..." >&2
        sleep 5
        waited=$((waited + 5))
    done
}

install_missing() {
    local missing=()
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    say "Installing ${missing[*]}"
    apt_get update -qq
    apt_get install -y -qq --no-install-recommends "${missing[@]}"
}

ncpu() { nproc 2>/dev/null || echo 2; }

# What an install takes (the asset generators and the tests are not among it).
installed_targets=(dvoyliki dvoyliki-skin packed-docs)

# build PRESET [TARGET...]: everything, or only the targets named. The
# release preset, the player's build, takes Debian's flags; the presets add
# their own after them (-O3 -DNDEBUG), never in their place.
build() {
    local preset=$1 flags=()
    shift
    [ "$preset" = release ] && mapfile -t flags < <(tools/debian-flags.sh)
    say "Building ($preset)"
    cmake --preset "$preset" "${flags[@]}" >/dev/null
    cmake --build --preset "$preset" -j "$(ncpu)" ${1:+--target "$@"}
}

# The game installed into build/run and started by its launcher, as the desktop
# menu starts it: its files, and the skins that come with it, in build/play/dvoyliki.
cmd_run() {
    install_missing "${build_packages[@]}"
    # What the install takes, not the tests: a player waits for this build.
    build release "${installed_targets[@]}"
    cmake --install build/release --prefix "$here/build/run" >/dev/null
    XDG_DATA_HOME="$here/build/play" exec "$here/build/run/games/dvoyliki-launcher"
}

# In CI a skipped test is a failure: what it guards went unproven.
no_skips() {
    local log=$1
    [ -n "${CI:-}" ] || return 0
    if grep -E '\(Skipped\)|^\[  SKIPPED \]' "$log"; then
        fail "tests were skipped; in CI every test must run"
    fi
}

# ctest PRESET, failing on a skip in CI.
run_ctest() {
    local log
    log=$(mktemp)
    ctest --preset "$1" -j "$(ncpu)" 2>&1 | tee "$log"
    no_skips "$log"
    rm -f "$log"
}

fuzz_smoke() {
    build fuzz
    local seconds=${DVL_FUZZ_SECONDS:-20}
    for target in fuzz_unpack fuzz_roundtrip fuzz_iml fuzz_iml_draw fuzz_avi_clip fuzz_records fuzz_board; do
        say "Fuzz smoke: $target (${seconds} s)"
        local work extra=()
        work="$(mktemp -d)"
        cp -r "fuzz/corpus/$target/." "$work/"
        # Drawing and saving work per pixel: small skins keep its runs fast.
        [ "$target" = fuzz_iml_draw ] && extra=(-max_len=1200)
        "build/fuzz/fuzz/$target" -max_total_time="$seconds" -rss_limit_mb=4096 "${extra[@]}" \
            -artifact_prefix="build/fuzz/$target-" "$work" 2>&1 | tail -n 3
        rm -rf "$work"
    done
}

# A release build without tests and its .deb in build/package. Its dates are
# the last commit's, or without git the changelog's, as dpkg's own tools take
# them: one commit always gives the same bytes.
build_package() {
    local flags
    mapfile -t flags < <(tools/debian-flags.sh)
    if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
        SOURCE_DATE_EPOCH=$(git log -1 --format=%ct 2>/dev/null ||
            date -d "$(sed -n 's/^ -- .*>  //p' packaging/changelog | head -n 1)" +%s)
        export SOURCE_DATE_EPOCH
    fi
    say "Building the package"
    cmake -S . -B build/package -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER=g++ \
        -DCMAKE_INSTALL_PREFIX=/usr -DDVL_BUILD_TESTS=OFF "${flags[@]}" >/dev/null
    cmake --build build/package -j "$(ncpu)" --target "${installed_targets[@]}"
    rm -f build/package/dvoyliki_*.deb
    (cd build/package && cpack -G DEB)
    deb=$(echo "$here"/build/package/dvoyliki_*.deb)
}

cmd_package() {
    install_missing "${build_packages[@]}" "${package_packages[@]}"
    build_package
    say "Package"
    echo "$deb"
}

fail() {
    echo "$*" >&2
    exit 1
}

# Installs the .deb with apt, runs the e2e test once against the installed game
# started by its launcher, purges the package and checks that none of it is left.
package_round_trip() {
    local id=org.example.dvoyliki files rc=0
    build_package
    say "Checking the package with lintian"
    # Info and pedantic tags are shown; docs/architecture.md explains each one left.
    lintian --pedantic --display-info --fail-on error,warning "$deb"
    say "Installing the package with apt"
    apt_get install -y -qq -o Dpkg::Use-Pty=0 "$deb"
    # A failed check must not leave the package installed.
    trap 'as_root apt-get purge -y -qq dvoyliki >/dev/null 2>&1 || true' EXIT
    files=$(mktemp)
    dpkg -L dvoyliki >"$files"
    local want=(/usr/games/dvoyliki /usr/games/dvoyliki-launcher /usr/bin/dvoyliki-skin
                "/usr/share/applications/$id.desktop" "/usr/share/metainfo/$id.metainfo.xml"
                "/usr/share/icons/hicolor/scalable/apps/$id.svg" /usr/share/man/man6/dvoyliki.6.gz
                /usr/share/man/man6/dvoyliki-launcher.6.gz /usr/share/man/man1/dvoyliki-skin.1.gz
                "/usr/share/dvoyliki/skins/Зима.iml" "/usr/share/dvoyliki/skins/Фрукты.iml")
    for size in 16 24 32 48 64 128 256; do
        want+=("/usr/share/icons/hicolor/${size}x$size/apps/$id.png")
    done
    for path in "${want[@]}"; do
        grep -qxF "$path" "$files" || fail "the package does not install $path"
    done
    dpkg-deb -f "$deb" Depends | grep -q libqt6widgets6 || fail "no Qt in the package's Depends"

    say "Checking the installed binaries with hardening-check"
    # Control-flow protection (x86: IBT, SHSTK) and branch protection (arm64:
    # BTI, PAC; Debian 13's hardening-check asks for both on every machine)
    # are marked only when every object linked has them. The C library's start
    # files of Debian 12 and 13 have neither, so that no binary of either
    # release has them: each is checked once they have it.
    local skip=() notes
    notes=$(readelf -n "$(g++ -print-file-name=Scrt1.o)")
    grep -q 'x86 feature: IBT, SHSTK' <<<"$notes" || skip+=(--nocfprotection)
    if grep -q nobranchprotection "$(command -v hardening-check)"; then
        grep -q 'AArch64 feature: BTI, PAC' <<<"$notes" || skip+=(--nobranchprotection)
    fi
    hardening-check "${skip[@]}" /usr/games/dvoyliki
    # The tool's calls that fortification could check (memcpy, fread…) all take
    # sizes known only at run time, so it has none to show: built as the game is,
    # whose checked calls (__open_2…) show that the flags reached the build.
    hardening-check "${skip[@]}" --nofortify /usr/bin/dvoyliki-skin

    say "Validating the installed desktop entry and metainfo"
    desktop-file-validate "/usr/share/applications/$id.desktop"
    appstreamcli validate --no-net "/usr/share/metainfo/$id.metainfo.xml"

    say "E2e test of the installed game, started by its launcher"
    # The window managers' cases test the window, which the install does not
    # change, and take a whole game each: they ran with the build's tests.
    local log
    log=$(mktemp)
    DVL_E2E_LAUNCHER=/usr/games/dvoyliki-launcher build/debug/tests/e2e/e2e_test \
        --gtest_filter='-WindowManagerE2e.*' 2>&1 | tee "$log" || rc=$?
    no_skips "$log"
    rm -f "$log"

    say "Purging the package"
    apt_get purge -y -qq -o Dpkg::Use-Pty=0 dvoyliki
    trap - EXIT
    ! dpkg -s dvoyliki >/dev/null 2>&1 || fail "dvoyliki is still known to dpkg after the purge"
    local left=()
    while read -r path; do
        [ -e "$path" ] || [ -L "$path" ] || continue
        # A directory stays rightly while other packages own it.
        [ -d "$path" ] && [ ! -L "$path" ] && dpkg -S "$path" >/dev/null 2>&1 && continue
        left+=("$path")
    done <"$files"
    rm -f "$files"
    [ ${#left[@]} -eq 0 ] || fail "left after the purge: ${left[*]}"
    [ "$rc" -eq 0 ] || fail "the e2e test of the installed game failed"
    echo "installed, played and purged cleanly"
}

cmd_test() {
    install_missing "${build_packages[@]}" "${test_packages[@]}" "${package_packages[@]}"
    build debug
    say "Tests"
    run_ctest debug
    sanitized_tests
    fuzz_smoke
    build bench
    package_round_trip
    say "All tests passed"
}

# Every test again, built with clang under ASan and UBSan; the e2e game runs under
# LeakSanitizer, and a leak of the game's own fails its exit status check. llvm's
# symbolizer names the functions, which the suppressions of Qt's own leaks need.
sanitized_tests() {
    build asan-ubsan
    say "Tests under ASan + UBSan"
    LSAN_OPTIONS="suppressions=$here/tests/lsan.supp:print_suppressions=0" run_ctest asan-ubsan
}

case "${1:-}" in
run) cmd_run ;;
test) cmd_test ;;
package) cmd_package ;;
*)
    echo "usage: $0 run|test|package" >&2
    exit 2
    ;;
esac
