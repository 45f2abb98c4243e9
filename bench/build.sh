# Sourced by the measurement scripts: the release build they measure.
# bench_build NAME TARGET... sets $src and $build (DVL_BENCH_BUILD overrides
# build/bench-NAME) and builds the targets with g++ at -O3, after Debian's
# flags as the package has them; DVL_BENCH_FLAGS=plain leaves those out.
bench_build() {
    local name=$1 flags=()
    shift
    src="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
    build="${DVL_BENCH_BUILD:-$src/build/bench-$name}"
    if [ "${DVL_BENCH_FLAGS:-}" = plain ]; then
      flags=(-DCMAKE_CXX_FLAGS= -DCMAKE_EXE_LINKER_FLAGS=)
    else
      mapfile -t flags < <("$src/tools/debian-flags.sh")
    fi
    cmake -S "$src" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER=g++ \
      -DDVL_BUILD_BENCH=ON -DDVL_BUILD_TESTS=OFF "${flags[@]}" >/dev/null
    cmake --build "$build" --target "$@" -j2 >/dev/null
}
