#!/bin/bash
# PID 1 of the test VM: mounts what programs expect, mounts the host's shared
# folder at the path it has on the host (so that absolute paths in build
# files and Wine's Z: paths work unchanged), runs the one job that
# tests/vm/run.sh handed over, writes its exit status back and powers off.
#
# Kernel command line: dravik.share=<path> dravik.seconds=<time limit>
set -u
export PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin
export HOME=/root LANG=C.UTF-8 TERM=dumb
# Wine prefixes on the VM's own disk, not in the shared folder (see
# tests/wine/wine_session.sh).
export DRAVIK_WINE_PREFIXES=/var/tmp/wine-prefixes

# The initramfs hands over some of these already mounted.
mounted() { mountpoint -q "$3" || mount -t "$1" "$2" "$3"; }
mounted proc proc /proc
mounted sysfs sys /sys
mounted devtmpfs dev /dev
mkdir -p /dev/pts /dev/shm
mounted devpts devpts /dev/pts
mounted tmpfs shm /dev/shm
mounted tmpfs tmp /tmp
mounted tmpfs run /run
hostname dravik-vm

argument() { tr ' ' '\n' </proc/cmdline | sed -n "s/^dravik\.$1=//p"; }
share=$(argument share)
seconds=$(argument seconds)
# qemu's emulated CPU reports the fault of a software interrupt through a
# gate that user code may not use ("int 0x29", Windows' fast fail) with the
# error code vector x 16 + 2, where real CPUs give vector x 8 + 2: Wine,
# which decodes the vector from it, then takes the fast fail for an access
# violation. The tests of the stack guard accept that here, and only here.
DRAVIK_EMULATED_CPU=$(argument emulated_cpu)
export DRAVIK_EMULATED_CPU
nine_p=trans=virtio,version=9p2000.L,msize=262144

mkdir -p /run/job "$share"
# The shared folder is cached: uncached, Wine loads 32-bit programs from it
# with wrong pages and they crash. Nothing on the host changes it meanwhile.
if mount -t 9p -o "$nine_p" job /run/job && mount -t 9p -o "$nine_p,cache=loose" share "$share"; then
    # The job's own limit, so that the VM still reports back after a hang.
    # Its output goes through a pipe: on a terminal, Wine's console would
    # draw with cursor codes.
    timeout -k 10 "${seconds:-3600}" bash /run/job/job.sh </dev/null 2>&1 | cat >/dev/console
    echo "${PIPESTATUS[0]}" >/run/job/status
else
    echo "dravik-init: cannot mount the shared folders" >/dev/console
fi

# End what the job left running (Wine's server, Xvfb), then write all back.
kill -TERM -1 2>/dev/null
sleep 1
kill -KILL -1 2>/dev/null
sync
umount "$share" /run/job 2>/dev/null
mount -o remount,ro / 2>/dev/null
echo 1 >/proc/sys/kernel/sysrq
echo o >/proc/sysrq-trigger
# Nothing more from the disk while the machine goes off.
while :; do :; done
