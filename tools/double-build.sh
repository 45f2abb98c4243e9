#!/usr/bin/env bash
# Builds the package twice from the last commit, each time from a fresh export
# in a directory of its own and at its own time, with SOURCE_DATE_EPOCH from
# that commit, and checks that the two .deb files are the same byte for byte.
# Where they differ, diffoscope (installed then) says why. Run once per CI run
# by .ci/run; needs what `./dvoyliki.sh package` installs.
#
#   tools/double-build.sh
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
commit=$(git -C "$here" rev-parse HEAD)
SOURCE_DATE_EPOCH=$(git -C "$here" log -1 --format=%ct)
export SOURCE_DATE_EPOCH

work=$(mktemp -d /var/tmp/dvoyliki-double.XXXXXX)
trap 'rm -rf "$work"' EXIT
# Two directories of unlike names and depths, so that no path of either can hide.
dirs=("$work/a" "$work/second/dvoyliki-$commit")
for i in 0 1; do
    [ "$i" -eq 0 ] || sleep 2 # another second on the clock for every stamp
    mkdir -p "${dirs[$i]}"
    git -C "$here" archive "$commit" | tar -x -C "${dirs[$i]}"
    echo "== Build $((i + 1)) of $commit in ${dirs[$i]}"
    (cd "${dirs[$i]}" && ./dvoyliki.sh package >"$work/build$i.log" 2>&1) ||
        { cat "$work/build$i.log"; exit 1; }
    cp "${dirs[$i]}"/build/package/dvoyliki_*.deb "$work/$i.deb"
done

(cd "$work" && sha256sum 0.deb 1.deb)
if cmp "$work/0.deb" "$work/1.deb"; then
    echo "The two builds are identical: $(basename "${dirs[0]}"/build/package/dvoyliki_*.deb)"
    exit 0
fi
if ! command -v diffoscope >/dev/null 2>&1; then
    [ "$(id -u)" -eq 0 ] && as_root=() || as_root=(sudo)
    "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq \
        --no-install-recommends diffoscope-minimal >/dev/null
fi
diffoscope --text - "$work/0.deb" "$work/1.deb" || true
echo "The two builds differ; diffoscope says where above." >&2
exit 1
