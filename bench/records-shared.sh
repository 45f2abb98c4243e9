#!/usr/bin/env bash
# Games sharing one records file, each in a process of its own: every round, GAMES games
# load the file, each enters a record of its own, and all save at the same moment (a save
# that finds the file busy tries again as the save at exit does). A round passes when the
# file then holds the ten best of what was there and of every record entered. Rounds
# alternate between a file that is there and one that is not, which the games create.
#   bench/records-shared.sh [local|nfs-like] [GAMES] [ROUNDS]     (local 12 25)
# local: a directory on the disk. nfs-like: the same directory seen through a FUSE file
# system whose locks behave as NFS's (bench/nfs_like_fs.c; needs libfuse3-dev and fuse3).
# DVL_RECORDS_HELPER names another build's records-helper (say, an older commit's).
set -euo pipefail

src="$(cd "$(dirname "$0")/.." && pwd)"
where=${1:-local}
games=${2:-12}
rounds=${3:-25}
build="${DVL_BENCH_BUILD:-$src/build/bench-records}"
helper=${DVL_RECORDS_HELPER:-}
if [ -z "$helper" ]; then
    cmake -S "$src" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER=g++ \
        -DDVL_BUILD_TESTS=ON -DDVL_BUILD_BENCH=ON >/dev/null
    cmake --build "$build" --target records-helper -j2 >/dev/null
    helper="$build/tests/records/records-helper"
fi

work="$(mktemp -d)"
dir="$work/disk"
mkdir "$dir"
cleanup() {
    mountpoint -q "$work/mnt" 2>/dev/null && fusermount3 -u "$work/mnt"
    rm -rf "$work"
}
trap cleanup EXIT
if [ "$where" = nfs-like ]; then
    gcc -O2 -o "$work/nfs-like-fs" "$src/bench/nfs_like_fs.c" $(pkg-config --cflags --libs fuse3)
    mkdir "$work/mnt"
    "$work/nfs-like-fs" "$dir" "$work/mnt" -o default_permissions
    dir="$work/mnt"
fi
grep -m1 " $dir " /proc/mounts | awk '{print "file system: " $3}' || echo "file system: $(stat -f -c %T "$dir")"

python3 - "$helper" "$dir" "$games" "$rounds" <<'PY'
import os, subprocess, sys, time

helper, d, games, rounds = sys.argv[1], sys.argv[2], int(sys.argv[3]), int(sys.argv[4])
path = os.path.join(d, "records.dvl")

def table(image):
    """(name, score) of each of the ten entries: a length byte and the name, the score at 48."""
    out = []
    for i in range(10):
        e = image[i * 56:(i + 1) * 56]
        out.append((e[1:1 + e[0]].decode("cp1251"), int.from_bytes(e[48:56], "little", signed=True)))
    return out

lost = failed = 0
worst = 0.0
for r in range(rounds):
    fresh = r % 2 == 1
    if fresh and os.path.exists(path):
        os.unlink(path)
    before = table(open(path, "rb").read()) if os.path.exists(path) else [("Игрок", 100)] * 10
    # Scores all different and under the defaults' 100: which ten are best is never a tie.
    entered = [(f"r{r}g{g}", 99 - (r * games + g)) for g in range(games)]
    procs = [subprocess.Popen([helper, "enter", d, n, str(s)], stdin=subprocess.PIPE,
                              stdout=subprocess.PIPE, text=True) for n, s in entered]
    for p in procs:
        assert p.stdout.readline() == "ready\n"
    start = time.monotonic()
    for p in procs:
        p.stdin.write("\n")
    for p in procs:
        p.stdin.flush()
    said = [p.communicate()[0].strip() for p in procs]
    worst = max(worst, time.monotonic() - start)
    failed += sum(s != "saved" for s in said)
    want = sorted(before + entered, key=lambda e: e[1])[:10]
    got = table(open(path, "rb").read())
    missing = [e for e in want if e not in got]
    if missing:
        lost += len(missing)
        print(f"round {r} ({'file made by the games' if fresh else 'file there'}): "
              f"lost {missing}", flush=True)
print(f"== {rounds} rounds of {games} games saving at once, {rounds * games} saves: "
      f"{failed} failed, {lost} ranked records lost; longest round {worst * 1000:.0f} ms   "
      f"goal nothing lost: " + ("met" if lost == 0 and failed == 0 else "MISSED"))
sys.exit(0 if lost == 0 and failed == 0 else 1)
PY
