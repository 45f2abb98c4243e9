#!/usr/bin/env bash
# The README's two commands on a new Debian 12 machine: a minimal Debian 12 root
# made afresh from the apt sources this machine uses, a clean clone of the
# checkout in it, and there `./dvoyliki.sh test`, then `./dvoyliki.sh run` until
# the game's window shows. Everything runs in a mount and PID namespace of its
# own, so nothing stays mounted or running afterwards, however the run ends.
#
#   sudo tools/fresh-machine.sh
#
# Downloaded .deb files are kept between runs in DVL_FRESH_CACHE (default
# /var/cache/dvoyliki-fresh): they are the packages a new machine downloads.
# Nothing else is carried over. Needs root, mmdebstrap (installed if missing),
# unshare and git.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cache=${DVL_FRESH_CACHE:-/var/cache/dvoyliki-fresh}
start=$SECONDS

stamp() { printf '[%02d:%02d] %s\n' $(((SECONDS - start) / 60)) $(((SECONDS - start) % 60)) "$*"; }
fail() {
    stamp "FAILED: $*" >&2
    exit 1
}

[ "$(id -u)" -eq 0 ] || fail "run this as root: it makes a root file system and mounts in it"

if [ "${1:-}" != --inside-namespace ]; then
    command -v mmdebstrap >/dev/null || {
        apt-get update -qq
        DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends mmdebstrap
    }
    work=$(mktemp -d /var/tmp/dvoyliki-fresh.XXXXXX)
    # The namespace takes every mount with it; only then is the tree removed.
    trap 'rm -rf --one-file-system "$work"' EXIT
    rc=0
    unshare --mount --pid --fork --mount-proc --propagation private \
        "$0" --inside-namespace "$work" || rc=$?
    exit "$rc"
fi

work=$2
root=$work/root
copy=/srv/dvoyliki
mkdir -p "$cache"

# The machine's own enabled apt sources, and its acquire settings (a proxy, an
# archive snapshot's validity), so the root downloads as this machine does.
sources=()
for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources; do
    [ -s "$f" ] && grep -q -E '^[[:space:]]*(deb |Types:)' "$f" && sources+=("$f")
done
[ ${#sources[@]} -gt 0 ] || fail "this machine has no apt sources"
apt-config dump | grep '^Acquire::' >"$work/acquire.conf" || true

stamp "Making a minimal Debian 12 root"
mmdebstrap --variant=minbase --quiet --aptopt="$work/acquire.conf" \
    --skip=essential/unlink \
    --setup-hook='mkdir -p "$1"/var/cache/apt/archives/' \
    --setup-hook="sync-in $cache /var/cache/apt/archives/" \
    --customize-hook="sync-out /var/cache/apt/archives $cache" \
    bookworm "$root" "${sources[@]}" || fail "mmdebstrap could not make the root"
stamp "Root made: $(du -sh --exclude=./proc "$root" | cut -f1)"

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
    chroot "$root" /usr/bin/env -i HOME=/root LANG=C.UTF-8 TERM=dumb \
        PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
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

stamp "Packages in the root before: $(inside 'dpkg -l | wc -l')"
stamp "Running ./dvoyliki.sh test"
set -o pipefail
inside './dvoyliki.sh test' 2>&1 | timed || fail "./dvoyliki.sh test failed"
stamp "Packages in the root after: $(inside 'dpkg -l | wc -l')"

stamp "Running ./dvoyliki.sh run under an X server of its own"
inside '
    set -e
    exec 3>/tmp/display
    # -noreset: each xdotool poll is a last client leaving.
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset >/dev/null 2>&1 &
    for _ in $(seq 100); do [ -s /tmp/display ] && break; sleep 0.1; done
    export DISPLAY=:$(head -n 1 /tmp/display)
    ./dvoyliki.sh run >/tmp/run.log 2>&1 &
    game=$!
    for _ in $(seq 1200); do
        window=$(xdotool search --onlyvisible --class dvoyliki 2>/dev/null | head -n 1) || true
        [ -n "$window" ] && break
        kill -0 "$game" 2>/dev/null || { cat /tmp/run.log; echo "the game ended before its window showed"; exit 1; }
        sleep 0.5
    done
    [ -n "$window" ] || { cat /tmp/run.log; echo "no window in 10 minutes"; exit 1; }
    echo "the game window showed: $(xdotool getwindowname "$window")"
    sleep 1
    xdotool windowfocus --sync "$window" key Escape
    for _ in $(seq 100); do kill -0 "$game" 2>/dev/null || break; sleep 0.1; done
    if kill -0 "$game" 2>/dev/null; then echo "Esc did not close the game"; exit 1; fi
    wait "$game" || { cat /tmp/run.log; echo "the game ended with an error"; exit 1; }
' 2>&1 | timed || fail "./dvoyliki.sh run did not show and close the game"

play=$root$copy/build/play/dvoyliki
for f in records.dvl default.iml Зима.iml Фрукты.iml; do
    [ -f "$play/$f" ] || fail "./dvoyliki.sh run left no $f in build/play/dvoyliki"
done
[ "$(stat -c %s "$play/records.dvl")" -eq 560 ] || fail "records.dvl is not 560 bytes"
stamp "The game's files in build/play/dvoyliki: $(cd "$play" && ls | tr '\n' ' ')"
dirty=$(git -C "$root$copy" status --porcelain --ignored=no)
[ -z "$dirty" ] || fail "the copy is not clean after the run: $dirty"
stamp "git status of the copy: clean"
stamp "The README's commands passed on a fresh Debian 12 root"
