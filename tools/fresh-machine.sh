#!/usr/bin/env bash
# The README's two commands on a new Debian machine of the release named
# (bookworm: Debian 12, trixie: Debian 13): a minimal root made afresh from the
# mirrors this machine's apt uses, a clean clone of the checkout in it, and there
# first `./dvoyliki.sh run` on the bare root until the game's window shows, then
# `./dvoyliki.sh test` in full. The X server and the window watcher run outside
# the root, its display's socket bound in, so `run` has nothing but what it
# installs itself. Everything runs in a mount and PID namespace of its own that
# dies with this script (`unshare --kill-child`): nothing stays mounted or running.
#
#   sudo tools/fresh-machine.sh bookworm|trixie
#
# Downloaded .deb files are kept between runs in DVL_FRESH_CACHE/RELEASE
# (default /var/cache/dvoyliki-fresh): they are the packages a new machine
# downloads. Nothing else is carried over. The window `run` showed is saved in
# DVL_FRESH_SHOTS (default /var/tmp/dvoyliki-fresh-shots). With CI set, a test
# that skips fails the run. Needs root; installs mmdebstrap, Xvfb, xdotool and
# ImageMagick here if they are missing.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
start=$SECONDS

stamp() { printf '[%02d:%02d] %s\n' $(((SECONDS - start) / 60)) $(((SECONDS - start) % 60)) "$*"; }
fail() {
    stamp "FAILED: $*" >&2
    exit 1
}

[ "$(id -u)" -eq 0 ] || fail "run this as root: it makes a root file system and mounts in it"

release=${1:-}
case $release in
bookworm) version=12 ;;
trixie) version=13 ;;
*) fail "usage: $0 bookworm|trixie" ;;
esac
cache=${DVL_FRESH_CACHE:-/var/cache/dvoyliki-fresh}/$release
shots=${DVL_FRESH_SHOTS:-/var/tmp/dvoyliki-fresh-shots}

if [ "${2:-}" != --inside-namespace ]; then
    missing=()
    for tool in mmdebstrap:mmdebstrap Xvfb:xvfb xdotool:xdotool import:imagemagick; do
        command -v "${tool%%:*}" >/dev/null || missing+=("${tool#*:}")
    done
    if [ ${#missing[@]} -gt 0 ]; then
        stamp "Installing ${missing[*]} on this machine"
        apt-get update -qq
        DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
            -o Dpkg::Use-Pty=0 "${missing[@]}" >/dev/null
    fi
    work=$(mktemp -d /var/tmp/dvoyliki-fresh.XXXXXX)
    # The namespace takes every mount with it; only then is the tree removed.
    trap 'rm -rf --one-file-system "$work"' EXIT
    rc=0
    unshare --mount --pid --fork --kill-child --mount-proc --propagation private \
        "$0" "$release" --inside-namespace "$work" || rc=$?
    exit "$rc"
fi

work=$3
root=$work/root
copy=/srv/dvoyliki
mkdir -p "$cache" "$shots"

# The Debian mirrors this machine's apt reads, each suite of its own release
# (bookworm, bookworm-updates, bookworm-security…) renamed for the one asked
# for; other repositories are left out. Its acquire settings (a proxy, an
# archive snapshot's validity) come along, so the root downloads as it does.
. /etc/os-release
own=${VERSION_CODENAME:?this machine does not name its Debian release}
{
    apt-get indextargets --format '$(REPO_URI) $(RELEASE)' 'Created-By: Packages' |
        sort -u | while read -r uri suite; do
        case $suite in
        "$own" | "$own"-*)
            printf 'Types: deb\nURIs: %s\nSuites: %s\nComponents: main\n\n' "$uri" "$release${suite#"$own"}"
            ;;
        esac
    done
} >"$work/sources"
grep -q '^URIs:' "$work/sources" || fail "this machine's apt reads no Debian mirror for $own"
apt-config dump | grep '^Acquire::' >"$work/acquire.conf" || true

stamp "Making a minimal Debian $version ($release) root"
mmdebstrap --variant=minbase --quiet --aptopt="$work/acquire.conf" \
    --skip=essential/unlink \
    --setup-hook='mkdir -p "$1"/var/cache/apt/archives/' \
    --setup-hook="sync-in $cache /var/cache/apt/archives/" \
    --customize-hook="sync-out /var/cache/apt/archives $cache" \
    "$release" "$root" "$work/sources" || fail "mmdebstrap could not make the root"
debian_version=$(cat "$root/etc/debian_version")
case $debian_version in
"$version".*) ;;
*) fail "the root says Debian $debian_version, not $version" ;;
esac
stamp "Root made: Debian $debian_version, $(du -sh --exclude=./proc "$root" | cut -f1)"

# What a booted machine has: its file systems, a network name service, and the
# package cache kept outside the root.
mount -t proc proc "$root/proc"
mount --rbind /sys "$root/sys"
mount --rbind /dev "$root/dev"
mount -t tmpfs tmpfs "$root/run"
mount -t tmpfs -o mode=1777 tmpfs "$root/tmp"
mount --bind "$cache" "$root/var/cache/apt/archives"
cp -L /etc/resolv.conf "$root/etc/resolv.conf"

git clone --quiet --no-hardlinks "$here" "$root$copy"
inside() {
    chroot "$root" /usr/bin/env -i HOME=/root LANG=C.UTF-8 TERM=dumb CI="${CI:-}" \
        PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin ${DISPLAY:+DISPLAY=$DISPLAY} \
        /bin/bash -c "cd $copy && $1"
}
# A command's output, its stage headings ("== …") stamped with the time since
# the start of the run; the rest as it is, so the test runners' summaries stay whole.
timed() {
    local line
    while IFS= read -r line; do
        case $line in
        "== "*) stamp "$line" ;;
        *) printf '%s\n' "$line" ;;
        esac
    done
}
installed() { inside 'dpkg -l | grep -c ^ii'; }
names() { inside "dpkg-query -W -f '\${Package}\n'" | LC_ALL=C sort; }

stamp "Packages installed on the bare root (dpkg -l | grep -c ^ii): $(installed)"
names >"$work/bare"

# The display: an X server of this machine's, its socket in a private
# /tmp/.X11-unix bound into the root (the abstract socket is shared anyway).
mkdir -p /tmp/.X11-unix
mount -t tmpfs -o mode=1777 tmpfs /tmp/.X11-unix
exec 3>"$work/display"
# -noreset: each xdotool poll is a last client leaving.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=:$(head -n 1 "$work/display")
mkdir -p "$root/tmp/.X11-unix"
mount --bind /tmp/.X11-unix "$root/tmp/.X11-unix"

part=$SECONDS
stamp "Running ./dvoyliki.sh run on the bare root"
inside './dvoyliki.sh run' >"$work/run.log" 2>&1 &
game=$!
window=
for _ in $(seq 1200); do
    window=$(xdotool search --onlyvisible --class dvoyliki 2>/dev/null | head -n 1) || true
    [ -n "$window" ] && break
    kill -0 "$game" 2>/dev/null || { cat "$work/run.log"; fail "the game ended before its window showed"; }
    sleep 0.5
done
[ -n "$window" ] || { cat "$work/run.log"; fail "no window in 10 minutes"; }
timed <"$work/run.log"
sleep 1
eval "$(xdotool getwindowgeometry --shell "$window")"
shot="$shots/$release-run.png"
import -window root "$shot"
stamp "The game's window showed after $((SECONDS - part)) s: «$(xdotool getwindowname "$window")», ${WIDTH}x$HEIGHT at $X,$Y; screenshot: $shot"
xdotool windowfocus --sync "$window" key Escape
for _ in $(seq 100); do kill -0 "$game" 2>/dev/null || break; sleep 0.1; done
kill -0 "$game" 2>/dev/null && fail "Esc did not close the game"
wait "$game" || { cat "$work/run.log"; fail "the game ended with an error"; }

play=$root$copy/build/play/dvoyliki
for f in records.dvl default.iml Зима.iml Фрукты.iml; do
    [ -f "$play/$f" ] || fail "./dvoyliki.sh run left no $f in build/play/dvoyliki"
done
[ "$(stat -c %s "$play/records.dvl")" -eq 560 ] || fail "records.dvl is not 560 bytes"
stamp "The game's files in build/play/dvoyliki: $(cd "$play" && ls | tr '\n' ' ')"
dirty=$(git -C "$root$copy" status --porcelain --ignored=no)
[ -z "$dirty" ] || fail "the copy is not clean after the run: $dirty"
stamp "./dvoyliki.sh run took $((SECONDS - part)) s; packages installed after it: $(installed)"
names >"$work/after-run"
stamp "The $(comm -13 "$work/bare" "$work/after-run" | wc -l) packages that run installed: $(comm -13 "$work/bare" "$work/after-run" | tr '\n' ' ')"

# The tests start X servers of their own, numbered by lock files in the root's
# /tmp, where this one's is not: it goes before they start.
kill "$xvfb"
wait "$xvfb" || true
umount "$root/tmp/.X11-unix"
unset DISPLAY

part=$SECONDS
stamp "Running ./dvoyliki.sh test"
inside './dvoyliki.sh test' 2>&1 | timed || fail "./dvoyliki.sh test failed"
stamp "./dvoyliki.sh test took $((SECONDS - part)) s; packages installed after it: $(installed)"
stamp "The README's commands passed on a fresh Debian $debian_version root"
