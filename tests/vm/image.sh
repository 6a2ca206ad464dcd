#!/usr/bin/env bash
# Prints the folder of the test VM's image (disk.img, vmlinuz, initrd.img),
# building it first when it is missing. The image is Debian 12 with Wine
# (64-bit and 32-bit), Xvfb, ImageMagick, ctest and the Wine tests' locales,
# made from Debian's packages of the release suite alone: no security and no
# updates suite, whose 32-bit indexes a mirror may hold at other versions
# than its 64-bit ones while it syncs. The VM has no network and runs only
# the tests, so its packages need no updates, and its 32-bit and 64-bit
# packages always agree. The image is cached outside the clone under a key
# made from all its recipe reads (these scripts, the mirror and the suite),
# so that a changed recipe builds a new image:
#
#   ${XDG_CACHE_HOME:-~/.cache}/dravik/vm-<key>/
#
# A build takes 5 to 10 minutes and about 3 GB of disk; it happens in
# vm-<key>.partial and is renamed into place only when complete, so a build
# that broke off is never used, only started again.
#
# Packages come from the Debian mirror that this machine's apt uses, or
# from DRAVIK_VM_MIRROR (the URL of a mirror's folder with dists/ and pool/).
#
#   tests/vm/image.sh        (needs root or sudo, debootstrap, mke2fs, qemu)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# Only the image's folder goes to standard output; progress to standard error.
exec 3>&1 1>&2

suite=bookworm

# This machine's apt sources, a line "URI suite components..." for each
# archive and suite: from its deb822 files, else from its one-line list.
apt_sources() {
    local sources=(/etc/apt/sources.list.d/*.sources)
    if [ -f "${sources[0]}" ]; then
        awk 'function flush() {
                 if (types ~ /(^| )deb( |$)/ && enabled != "no") {
                     n = split(uris, uri, " "); m = split(suites, suite, " ")
                     for (i = 1; i <= n; i++) for (j = 1; j <= m; j++) print uri[i], suite[j], components
                 }
                 types = uris = suites = components = enabled = ""
             }
             FNR == 1 || /^[[:space:]]*$/ { flush() }
             { value = $0; sub(/^[^:]*:[[:space:]]*/, "", value) }
             /^Types:/ { types = value }
             /^URIs:/ { uris = value }
             /^Suites:/ { suites = value }
             /^Components:/ { components = value }
             /^Enabled:/ { enabled = value }
             END { flush() }' "${sources[@]}"
    elif [ -f /etc/apt/sources.list ]; then
        # deb [options] URI suite components
        awk '$1 == "deb" {
                 i = 2
                 if ($i ~ /^\[/) { while (i < NF && $i !~ /\]$/) i++; i++ }
                 line = $i " " $(i + 1)
                 for (k = i + 2; k <= NF; k++) line = line " " $k
                 print line
             }' /etc/apt/sources.list
    fi
    return 0
}
# The first Debian archive among them: its path ends in /debian, its suite
# is no security one, and main is among its components (a vendor's
# repository may end in /debian too).
debian_archive() {
    awk '$1 ~ /^(https?|ftp):\/\// && $1 ~ /\/debian\/?$/ && $2 !~ /-security$/ {
             for (i = 3; i <= NF; i++) if ($i == "main") { sub(/\/+$/, "", $1); print $1; exit }
         }' <<<"$sources"
}

as_root() { if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi; }

if [ -n "${DRAVIK_VM_MIRROR:-}" ]; then
    mirror=${DRAVIK_VM_MIRROR%/}
else
    sources=$(apt_sources)
    mirror=$(debian_archive)
fi
if [ -z "$mirror" ]; then
    echo "tests/vm/image.sh: no Debian package mirror found in /etc/apt/sources.list.d/*.sources or" \
         "/etc/apt/sources.list. Set DRAVIK_VM_MIRROR to the URL of one: the folder with dists/ and pool/," \
         "which usually ends in /debian."
    exit 1
fi

# Everything the recipe reads: these scripts (run.sh boots the image once
# to finish it), the mirror (a snapshot mirror holds other versions) and
# the suite, which is named in this script.
key=$({
    cat "$here/image.sh" "$here/guest_init.sh" "$here/prepare.sh" "$here/run.sh"
    echo "$mirror"
} | sha256sum | cut -c1-16)
cache=${XDG_CACHE_HOME:-$HOME/.cache}/dravik
image=$cache/vm-$key

mkdir -p "$cache"
# One build at a time; a second caller waits and then uses the first one's.
exec 9>"$cache/lock"
flock 9
if [ -f "$image/complete" ]; then
    echo "$image" >&3
    exit 0
fi

work=$image.partial
root=$work/root
log=$work/build.log
as_root rm -rf "$work"
mkdir -p "$work"
trap 'as_root rm -rf "$work"' EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
started=$SECONDS
echo "Building the test VM image in $work (5 to 10 minutes)"

# Runs a step with its output in the log, which is shown when it fails.
logged() {
    "$@" >>"$log" 2>&1 || {
        tail -n 40 "$log"
        echo "Building the test VM image failed: $*"
        exit 1
    }
}
in_root() { logged as_root chroot "$root" env DEBIAN_FRONTEND=noninteractive LC_ALL=C.UTF-8 "$@"; }
apt_install() { in_root apt-get install -y -q --no-install-recommends "$@"; }

echo "-- Debian $suite base system"
# A download that breaks off is tried once more, from the start.
if ! as_root debootstrap --variant=minbase "$suite" "$root" "$mirror" >>"$log" 2>&1; then
    if grep -qE "Couldn't download|Failed getting|Failed to download|Couldn't get|Connection|Hash Sum mismatch" "$log"; then
        echo "   a download failed; trying debootstrap once more"
        as_root rm -rf "$root"
        logged as_root debootstrap --variant=minbase "$suite" "$root" "$mirror"
    else
        tail -n 40 "$log"
        echo "Building the test VM image failed: debootstrap $suite"
        exit 1
    fi
fi
# The release suite alone (debootstrap wrote the same; written here so that
# it is plain to see).
echo "deb $mirror $suite main" | as_root tee "$root/etc/apt/sources.list" >/dev/null
# Nothing is started while packages are installed into the folder.
printf '#!/bin/sh\nexit 101\n' | as_root tee "$root/usr/sbin/policy-rc.d" >/dev/null
as_root chmod +x "$root/usr/sbin/policy-rc.d"
in_root dpkg --add-architecture i386
in_root apt-get update -q

# fonts-liberation: what Debian's wine recommends, and so what Wine draws
# Lucida Sans Unicode with on a Debian user's machine.
echo "-- Kernel, Wine, Xvfb, ImageMagick and CMake"
apt_install linux-image-amd64 initramfs-tools zstd kmod procps \
    wine wine64 fonts-wine fonts-liberation xvfb xauth imagemagick cmake locales
# The locales whose ANSI code pages the loader's Wine tests run under.
for locale in ru_RU pl_PL ja_JP; do
    in_root localedef -i "$locale" -f UTF-8 "$locale.UTF-8"
done
in_root apt-get clean

# 32-bit packages run 32-bit maintainer scripts: only downloaded here, and
# installed by prepare.sh inside the VM.
echo "-- Downloading the 32-bit Wine packages"
apt_install --download-only wine32:i386

echo "-- Initramfs with the virtio disk, ext4 and 9p"
as_root sed -i 's/^MODULES=.*/MODULES=list/' "$root/etc/initramfs-tools/initramfs.conf"
printf '%s\n' virtio_pci virtio_blk crc32c_generic ext4 9pnet 9pnet_virtio 9p |
    as_root tee -a "$root/etc/initramfs-tools/modules" >/dev/null
in_root update-initramfs -u -k all
as_root install -m 755 "$here/guest_init.sh" "$root/sbin/dravik-init"
as_root rm -f "$root/usr/sbin/policy-rc.d" "$root/etc/resolv.conf"
as_root cat "$root/boot/$(cd "$root/boot" && ls vmlinuz-* | tail -n 1)" >"$work/vmlinuz"
as_root cat "$root/boot/$(cd "$root/boot" && ls initrd.img-* | tail -n 1)" >"$work/initrd.img"

echo "-- Disk image"
# Made from the folder directly: no loop device needed. A sparse file.
logged as_root mke2fs -t ext4 -L dravik -d "$root" "$work/disk.img" 8G
as_root chown "$(id -u):$(id -g)" "$work/disk.img"
as_root rm -rf "$root"

echo "-- First boot: finishing the install inside the VM"
"$here/run.sh" --writable --seconds 1200 "$work" "$here" bash "$here/prepare.sh"

touch "$work/complete"
mv "$work" "$image"
trap - EXIT
# Images of other recipes are not used any more.
for old in "$cache"/vm-*; do
    [ "$old" = "$image" ] || as_root rm -rf "$old"
done
echo "Test VM image ready after $(( (SECONDS - started) / 60 )) min $(( (SECONDS - started) % 60 )) s: $image"
echo "$image" >&3
