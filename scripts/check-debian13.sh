#!/usr/bin/env bash
# Builds and tests the project on Debian 13 (trixie: GCC 14, Qt 6.8), the
# current Debian stable, in a root made with debootstrap: what a user there
# runs must build and pass. The root is kept between runs under a cache
# folder (A320_DEBIAN13_CACHE, by default ~/.cache/a320-display/debian13),
# and so is its build folder, so later runs build only what changed.
#
# Needs root (debootstrap and chroot), the Debian packages debootstrap and
# debian-archive-keyring, and a Debian mirror (A320_DEBIAN_MIRROR, by default
# the one apt uses here, else http://deb.debian.org/debian).
# A320_DEBIAN13_TESTS picks the tests: a ctest -R pattern; empty runs all
# but the reference-picture comparisons.
set -euo pipefail
cd "$(dirname "$0")/.."
source_tree=$(pwd)

if [ "$(id -u)" -ne 0 ]; then
  exec sudo --preserve-env=A320_DEBIAN13_CACHE,A320_DEBIAN_MIRROR,A320_DEBIAN13_TESTS "$0" "$@"
fi

cache=${A320_DEBIAN13_CACHE:-${HOME}/.cache/a320-display/debian13}
root=$cache/root
default_mirror=$({ grep -hs '^URIs:' /etc/apt/sources.list.d/*.sources | awk '{print $2}'
                   grep -hs '^deb ' /etc/apt/sources.list | awk '{print $2}'; } | grep -E '/debian/?$' | head -1 || true)
mirror=${A320_DEBIAN_MIRROR:-${default_mirror:-http://deb.debian.org/debian}}
start=$(date +%s)
elapsed() { echo "$(( $(date +%s) - start )) s"; }

for tool in debootstrap chroot mount tar; do
  command -v "$tool" >/dev/null || {
    echo "check-debian13: $tool is missing; install the Debian package debootstrap (apt-get install debootstrap)" >&2
    exit 1
  }
done

# A root left half made by an interrupted run is made again.
if [ ! -f "$cache/root.complete" ]; then
  echo "== debootstrap trixie into $root from $mirror"
  rm -rf "$root"
  mkdir -p "$cache"
  debootstrap --variant=minbase trixie "$root" "$mirror" > "$cache/debootstrap.log" 2>&1 || {
    echo "check-debian13: debootstrap failed; the last lines of $cache/debootstrap.log:" >&2
    tail -n 20 "$cache/debootstrap.log" >&2
    exit 1
  }
  touch "$cache/root.complete"
fi

mounts=()
cleanup() {
  local i
  for (( i=${#mounts[@]}-1; i>=0; i-- )); do umount -l "${mounts[$i]}" 2>/dev/null || true; done
}
trap cleanup EXIT
bind() {  # bind SOURCE TARGET-IN-ROOT [mount options]
  mkdir -p "$root$2"
  mount --bind "$1" "$root$2"
  mounts+=("$root$2")
}
mkdir -p "$root/proc" "$root/sys" "$root/dev/shm" "$root/tmp"
mount -t proc proc "$root/proc" && mounts+=("$root/proc")
mount -t sysfs sysfs "$root/sys" && mounts+=("$root/sys")
bind /dev /dev
mount -t devpts devpts "$root/dev/pts" -o newinstance,ptmxmode=0666 2>/dev/null && mounts+=("$root/dev/pts") || true
mount -t tmpfs tmpfs "$root/dev/shm" && mounts+=("$root/dev/shm")
cp -L /etc/resolv.conf "$root/etc/resolv.conf"
# The root's apt talks to the same mirror debootstrap used.
printf 'deb %s trixie main\ndeb %s trixie-updates main\n' "$mirror" "$mirror" > "$root/etc/apt/sources.list"

# The tree as it is now, commits or not, without this machine's builds.
echo "== copying the source tree into the root"
rm -rf "$root/src/a320-display"
mkdir -p "$root/src/a320-display"
tar -C "$source_tree" --exclude='./build*' --exclude='./.git' -cf - . | tar -C "$root/src/a320-display" -xf -

tests=${A320_DEBIAN13_TESTS-}
chroot "$root" /usr/bin/env -i HOME=/root PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 \
  TESTS="$tests" START="$start" /bin/bash -euo pipefail -c '
    cd /src/a320-display
    scripts/install-deps.sh > /var/log/a320-install-deps.log 2>&1 || {
      echo "check-debian13: installing the packages failed:" >&2; tail -n 30 /var/log/a320-install-deps.log >&2; exit 1; }
    echo "== $(g++ --version | head -1); Qt $(dpkg-query -W -f "\${Version}" qt6-base-dev); cmake $(cmake --version | head -1 | cut -d" " -f3) ($(( $(date +%s) - START )) s)"
    # The build folder lives outside the copied tree, so it is kept.
    BUILD_DIR=/var/tmp/a320-build scripts/build.sh
    echo "== built ($(( $(date +%s) - START )) s)"
    cd /var/tmp/a320-build
    if [ -n "$TESTS" ]; then
      ctest -j"$(nproc)" --output-on-failure --timeout 300 -R "$TESTS"
    else
      # The reference pictures hold Debian 12'"'"'s anti-aliasing: Debian 13'"'"'s
      # Mesa and FreeType draw glyph and line edges a few levels apart, so
      # those comparisons run on Debian 12 only.
      ctest -j"$(nproc)" --output-on-failure --timeout 300 \
        -E "DrawsAsReviewed|PicturesAsReviewed|DrawsTheReferencePictures"
    fi'
echo "== Debian 13: built and tested in $(elapsed)"
