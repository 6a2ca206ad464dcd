#!/usr/bin/env bash
# Dravik's developer commands for a Debian 12 machine.
#
#   ./dev.sh run    install what is missing, build, and play the sample demo
#                   through the whole system under Wine
#   ./dev.sh test   install what is missing, build, and run every test
#
# Under Wine both run the shipped 32-bit programs, as unpacked from the
# release zip, with the 32-bit Wine loader. A machine that cannot run 32-bit
# programs does that inside a qemu VM (tests/vm/), whose image is built the
# first time (5 to 10 minutes) and cached in ~/.cache/dravik.
# DRAVIK_VM=1 takes the VM on any machine, DRAVIK_VM=0 never.
set -euo pipefail
cd "$(dirname "$0")"
root=$PWD

say() { printf '\n== %s\n' "$*"; }

sudo_() { if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi; }

# Can this machine run 32-bit Linux programs itself? Tries a tiny static
# 32-bit program that exits with 7; no 32-bit package is needed for it.
# qemu-user registered for them does not count: Wine does not run under it.
runs_32bit() {
    local binfmt=/proc/sys/fs/binfmt_misc/qemu-i386
    if [ -f "$binfmt" ] && grep -qx enabled "$binfmt"; then
        return 1
    fi
    local probe=build/i386-probe status=0
    mkdir -p build
    {
        # ELF header: 32-bit, i386, entry 0x08048054, one program header.
        printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00'
        printf '\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00'
        printf '\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00'
        # The file loaded at 0x08048000, readable and executable.
        printf '\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08'
        printf '\x60\x00\x00\x00\x60\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00'
        # mov ebx, 7; mov eax, 1 (exit); int 0x80
        printf '\xbb\x07\x00\x00\x00\xb8\x01\x00\x00\x00\xcd\x80'
    } >"$probe"
    chmod +x "$probe"
    "./$probe" 2>/dev/null || status=$?
    rm -f "$probe"
    [ "$status" = 7 ]
}

# Whether the Wine part runs in the test VM.
choose_vm() {
    case "${DRAVIK_VM:-}" in
    1) vm=yes ;;
    0) vm=no ;;
    "") if runs_32bit; then vm=no; else vm=yes; fi ;;
    *) echo "DRAVIK_VM is 1 (use the VM), 0 (do not) or unset (decide by this machine)" >&2; exit 2 ;;
    esac
    if [ "$vm" = yes ]; then
        echo "Wine runs the 32-bit programs inside the test VM"
    else
        echo "Wine runs the 32-bit programs on this machine"
    fi
}

install_missing() {
    local packages=(cmake g++ libgtest-dev googletest g++-mingw-w64-i686 icoutils)
    if [ "$vm" = yes ]; then
        # The VM and what builds its image; Wine itself runs inside.
        packages+=(qemu-system-x86 debootstrap e2fsprogs)
    else
        packages+=(wine wine64 xvfb xauth imagemagick)
        # The 32-bit Wine loader, which this machine can run.
        if [ "$(dpkg --print-architecture)" = amd64 ]; then
            dpkg --print-foreign-architectures | grep -qx i386 || sudo_ dpkg --add-architecture i386
            packages+=(wine32:i386)
        else
            packages+=(wine32)
        fi
    fi
    local missing=()
    for package in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'ok installed' || missing+=("$package")
    done
    if [ ${#missing[@]} -gt 0 ]; then
        say "Installing ${missing[*]}"
        sudo_ apt-get update -qq
        sudo_ env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
    fi
}

build_release() {
    say "Building the release programs into dist/"
    cmake --no-warn-unused-cli -S . -B build/win32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build build/win32 -j"$(nproc)"
    (cd build/win32 && cpack --config CPackConfig.cmake >/dev/null)
    # The zip of this build only: zips of earlier versions are cleared away.
    zip="$(sed -n 's/^set(CPACK_PACKAGE_FILE_NAME "\(.*\)")$/\1/p' build/win32/CPackConfig.cmake).zip"
    rm -f dist/Dravik-*-win32.zip
    cp "build/win32/package/$zip" dist/
    echo "Packaged dist/$zip"
}

# The programs as users get them; what the Wine tests and the run use.
unpack_release() {
    say "Unpacking the release zip into build/unpacked"
    rm -rf build/unpacked && mkdir -p build/unpacked
    (cd build/unpacked && cmake -E tar xf "$root/dist/$zip")
}

# Runs a command in the test VM, with this folder shared at the same path.
in_vm() {
    local seconds=$1 image status=0 started
    shift
    say "Test VM image (built the first time: 5 to 10 minutes; then cached)"
    image=$(tests/vm/image.sh)
    echo "Image: $image"
    say "Booting the test VM (about 15 s) to run: $*"
    started=$SECONDS
    tests/vm/run.sh --seconds "$seconds" "$image" "$root" "$@" || status=$?
    echo "The VM ran for $((SECONDS - started)) s and its job exited with $status"
    return "$status"
}

case "${1:-}" in
run)
    choose_vm
    install_missing
    build_release
    unpack_release
    if [ "$vm" = yes ]; then
        in_vm 1200 tools/play_sample.sh build/win32
    else
        say "Playing the sample demo under Wine"
        tools/play_sample.sh build/win32
    fi
    ;;
test)
    choose_vm
    install_missing
    say "Building and running the unit tests"
    cmake --no-warn-unused-cli -S . -B build/native -DCMAKE_BUILD_TYPE=Debug >/dev/null
    cmake --build build/native -j"$(nproc)"
    ctest --test-dir build/native --output-on-failure
    build_release
    unpack_release
    say "Checking the release programs as unpacked from the zip"
    tests/check_release.sh build/unpacked
    # The Wine tests run the unpacked programs; in the emulated VM
    # everything takes several times longer.
    if [ "$vm" = yes ]; then limit=1200; else limit=600; fi
    cmake -S . -B build/win32 -DDRAVIK_TESTED_PROGRAMS="$root/build/unpacked" -DDRAVIK_WINE_TEST_TIMEOUT=$limit >/dev/null
    if [ "$vm" = yes ]; then
        in_vm 2400 ctest --test-dir build/win32 --output-on-failure
    else
        say "Running the Windows tests under Wine"
        ctest --test-dir build/win32 --output-on-failure
    fi
    ;;
*)
    echo "usage: ./dev.sh run | test     (DRAVIK_VM=1 or 0 to force or forbid the test VM)" >&2
    exit 2
    ;;
esac
