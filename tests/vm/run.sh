#!/usr/bin/env bash
# Boots the test VM from a disk image made by tests/vm/image.sh, shares a
# host folder with it at the same absolute path, runs one command there as
# root and exits with the command's status (124 when it ran out of time or
# the VM gave no status). The VM's console, with the command's output, goes
# to standard output. Every boot starts from the same image: changes to the
# disk are dropped, unless --writable (used once, to finish the image).
#
#   tests/vm/run.sh [--writable] [--seconds N] <image folder> <folder to share> <command> [<arg>...]
set -euo pipefail

writable=no
seconds=3600
while [ $# -gt 0 ]; do
    case "$1" in
    --writable) writable=yes; shift ;;
    --seconds) seconds=$2; shift 2 ;;
    *) break ;;
    esac
done
image=${1:?image folder}
share=$(cd "${2:?folder to share}" && pwd)
shift 2
[ $# -gt 0 ] || { echo "run.sh: no command" >&2; exit 2; }
# The path travels on the kernel command line, which splits at spaces, and
# in qemu's -virtfs option, which splits at commas.
case "$share" in
*[[:space:]]*) echo "run.sh: the shared folder's path must not contain spaces: $share" >&2; exit 2 ;;
*,*) echo "run.sh: the shared folder's path must not contain commas: $share" >&2; exit 2 ;;
esac

job=$(mktemp -d "${TMPDIR:-/tmp}/dravik-vm-job.XXXXXX")
qemu=
cleanup() {
    if [ -n "$qemu" ] && kill -0 "$qemu" 2>/dev/null; then
        echo "Stopping the VM" >&2
        kill "$qemu" 2>/dev/null || true
        wait "$qemu" 2>/dev/null || true
    fi
    rm -rf "$job"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

{
    printf 'cd %q\n' "$share"
    printf 'exec'
    printf ' %q' "$@"
    printf '\n'
} >"$job/job.sh"

drive="file=$image/disk.img,format=raw,if=virtio,discard=unmap"
[ "$writable" = yes ] || drive+=",snapshot=on"

# Emulated (TCG): the same on every x86-64 host. No SMAP: qemu 7.2 emulates
# the 32-bit iret that Wine uses wrongly with it, and 32-bit processes die.
# The guest learns that its CPU is emulated (dravik.emulated_cpu): see
# tests/vm/guest_init.sh.
# The host's limit is a little longer than the job's, which the guest keeps.
# The firmware's terminal codes are dropped, so that the terminal keeps
# wrapping lines.
timeout -k 10 $((seconds + 180)) qemu-system-x86_64 \
    -accel tcg -cpu max,-smap,-la57 -smp 2 -m 4096 \
    -nographic -monitor none -serial stdio -nic none -no-reboot \
    -kernel "$image/vmlinuz" -initrd "$image/initrd.img" \
    -append "root=/dev/vda rw rootfstype=ext4 console=ttyS0 quiet loglevel=3 panic=1 init=/sbin/dravik-init dravik.share=$share dravik.seconds=$seconds dravik.emulated_cpu=qemu-tcg" \
    -drive "$drive" \
    -virtfs "local,path=$job,mount_tag=job,security_model=none" \
    -virtfs "local,path=$share,mount_tag=share,security_model=none" \
    </dev/null > >(sed -u -e 's/\x1b\[[0-9;?]*[A-Za-z]//g' -e 's/\x1bc//g' -e 's/\r*$//') &
qemu=$!
wait "$qemu" || true
qemu=

if [ -s "$job/status" ]; then
    exit "$(cat "$job/status")"
fi
echo "run.sh: the VM ended without the job's exit status" >&2
exit 124
