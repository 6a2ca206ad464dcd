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

# Installs the Debian packages that are missing, through sudo unless root.
# An "apt-get update" that fails on some indexes (a mirror in mid-sync
# serves some with the wrong size) does not stop it: the install may still
# find what it needs in the indexes that were fetched.
install_missing() {  # install_missing [<package needed for this command>...]
    local packages=(cmake g++ libgtest-dev googletest g++-mingw-w64-i686 icoutils python3 "$@")
    if [ "$vm" = yes ]; then
        # The VM and what builds its image; Wine itself runs inside.
        packages+=(qemu-system-x86 debootstrap e2fsprogs)
    else
        packages+=(wine wine64 fonts-liberation xvfb xauth imagemagick locales)
    fi
    local missing=() wine32_missing=no add_i386=no
    missing_of "${packages[@]}"
    if [ "$vm" = no ]; then
        # The 32-bit Wine loader, which this machine can run.
        if [ "$(dpkg --print-architecture)" = amd64 ]; then
            dpkg --print-foreign-architectures | grep -qx i386 || add_i386=yes
            installed wine32:i386 || wine32_missing=yes
        else
            installed wine32 || missing+=(wine32)
        fi
    fi
    if [ ${#missing[@]} -eq 0 ] && [ "$wine32_missing" = no ]; then
        return
    fi
    if [ "$(id -u)" != 0 ] && ! command -v sudo >/dev/null; then
        [ "$wine32_missing" = no ] || missing+=(wine32:i386)
        {
            echo "Missing Debian packages: ${missing[*]}"
            echo "There is no sudo here to install them with. As root, run:"
            [ "$add_i386" = no ] || echo "    dpkg --add-architecture i386"
            echo "    apt-get update"
            echo "    apt-get install --no-install-recommends ${missing[*]}"
            echo "then ./dev.sh ${command:-} again."
        } >&2
        exit 1
    fi
    [ "$add_i386" = no ] || sudo_ dpkg --add-architecture i386
    local all=("${missing[@]}")
    [ "$wine32_missing" = no ] || all+=(wine32:i386)
    say "Installing ${all[*]}"
    sudo_ apt-get update -qq ||
        echo "apt-get update could not fetch every index (above); trying the install with those it has"
    apt_install "${missing[@]}"
    [ "$wine32_missing" = no ] || install_wine32
}

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'ok installed'; }
missing_of() { local p; for p in "$@"; do installed "$p" || missing+=("$p"); done; }

apt_install() {
    [ $# -gt 0 ] || return 0
    sudo_ env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "$@"
}

# The 32-bit Wine loader on a 64-bit Debian. Where the mirror's i386 packages
# cannot be installed beside its amd64 ones (their versions disagree while
# it syncs, or its i386 indexes could not be fetched), the Wine part runs
# in the test VM instead, whose packages all come from one release. Any
# other failure stops here, with apt's output.
install_wine32() {
    local plan
    if ! plan=$(LC_ALL=C apt-get install -s -q --no-install-recommends wine32:i386 2>&1); then
        local reason="the mirror's i386 packages do not match its amd64 ones"
        case "$plan" in
        *"Unable to locate"* | *"has no installation candidate"* | *"not available"*)
            reason="the mirror's i386 packages could not be fetched" ;;
        esac
        echo "Wine runs the 32-bit programs inside the test VM instead: $reason (wine32:i386 cannot be installed)"
        vm=yes
        local missing=()
        missing_of qemu-system-x86 debootstrap e2fsprogs
        apt_install "${missing[@]}"
        return
    fi
    apt_install wine32:i386
}

build_release() {
    say "Building the release into dist/"
    cmake --no-warn-unused-cli -S . -B build/win32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build build/win32 -j"$(nproc)"
    # The zip of this build only: zips of earlier versions are cleared away.
    zip="Dravik-$(sed -n 's/^project(Dravik VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)-win32.zip"
    find dist -maxdepth 1 -name 'Dravik-*-win32.zip' ! -name "$zip" -delete 2>/dev/null || true
    cmake --build build/win32 --target release
}

# The locales whose ANSI code pages the loader's Wine tests run under
# (tests/wine/CMakeLists.txt): Wine takes the code page only from a locale
# that glibc knows. The test VM's image has them made (tests/vm/image.sh).
make_locales() {
    local locale
    for locale in ru_RU pl_PL ja_JP; do
        locale -a | grep -qx "$locale.utf8" && continue
        say "Making the locale $locale.UTF-8 for the Wine tests"
        sudo_ localedef -i "$locale" -f UTF-8 "$locale.UTF-8"
    done
}

# Builds the release once more from a copy of this tree in another folder,
# and expects the same bytes.
check_reproducible() {
    say "Building the release again in build/again and comparing"
    local again=build/again
    rm -rf "$again" && mkdir -p "$again/source"
    # The tree as it is, committed or not; it dates the zip from this
    # checkout's last commit, as it lies inside it.
    tar -c --exclude=./build --exclude=./dist --exclude=./.git . | tar -x -C "$again/source"
    cmake --no-warn-unused-cli -S "$again/source" -B "$again/build" \
        -DCMAKE_TOOLCHAIN_FILE="$root/$again/source/cmake/mingw-i686.cmake" -DCMAKE_BUILD_TYPE=Release \
        -DDRAVIK_WINE_TESTS=OFF >/dev/null
    cmake --build "$again/build" -j"$(nproc)" >/dev/null
    cmake --build "$again/build" --target release
    local file
    for file in Dravik.exe loader.exe "$zip"; do
        cmp "dist/$file" "$again/source/dist/$file" || { echo "dist/$file differs when built in another folder" >&2; return 1; }
    done
    echo "Same bytes: Dravik.exe, loader.exe and the zip"
}

# The programs as users get them; what the Wine tests and the run use.
unpack_release() {
    say "Unpacking the release zip into build/unpacked"
    rm -rf build/unpacked && mkdir -p build/unpacked
    (cd build/unpacked && cmake -E tar xf "$root/dist/$zip")
}

# The test VM's image (tests/vm/image.sh), found in the cache or built there,
# in the background while this machine builds the programs: the first build
# takes minutes, most of it downloads and unpacking.
image_start() {
    mkdir -p build
    # Asked now, where a password can still be typed: the build needs root.
    [ "$(id -u)" = 0 ] || sudo -v
    say "Test VM image: found in ~/.cache/dravik, or built there meanwhile (the first time, about 10 minutes; log: build/vm-image.log)"
    image_started=$SECONDS
    tests/vm/image.sh >build/vm-image.path 2>build/vm-image.log &
    image_job=$!
}

image_wait() {
    local status=0
    wait "$image_job" || status=$?
    grep -E '^(-- |Test VM image ready|Building the test VM)' build/vm-image.log || true
    if [ "$status" != 0 ]; then
        tail -n 40 build/vm-image.log >&2
        echo "Building the test VM image failed (build/vm-image.log)" >&2
        exit "$status"
    fi
    image=$(cat build/vm-image.path)
    echo "Image: $image (ready $((SECONDS - image_started)) s after it was asked for)"
}

# Runs a command in the test VM, with this folder shared at the same path.
in_vm() {
    local seconds=$1 status=0 started
    shift
    say "Waiting for the test VM image"
    image_wait
    say "Booting the test VM (about 15 s) to run: $*"
    started=$SECONDS
    tests/vm/run.sh --seconds "$seconds" "$image" "$root" "$@" || status=$?
    echo "The VM ran for $((SECONDS - started)) s and its job exited with $status"
    return "$status"
}

command=${1:-}
case "$command" in
run)
    choose_vm
    install_missing
    [ "$vm" = no ] || image_start
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
    # What the test of signing needs.
    install_missing osslsigncode openssl
    [ "$vm" = no ] || image_start
    say "Building and running the unit tests"
    cmake --no-warn-unused-cli -S . -B build/native -DCMAKE_BUILD_TYPE=Debug >/dev/null
    cmake --build build/native -j"$(nproc)"
    ctest --test-dir build/native --output-on-failure
    build_release
    (cd dist && sha256sum -c SHA256SUMS)
    check_reproducible
    unpack_release
    say "Checking the release programs as unpacked from the zip"
    tests/check_release.sh build/unpacked build/win32
    say "Signing the second build's release with a throw-away certificate"
    tests/check_signing.sh build/again/build build/signed
    # The Wine tests run the unpacked programs, and some of them the signed
    # ones; in the emulated VM everything takes several times longer.
    if [ "$vm" = yes ]; then limit=1500; else limit=600; fi
    say "Building the Windows tests (posix thread model, for GoogleTest) into build/wine"
    cmake --no-warn-unused-cli -S . -B build/wine -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686-posix.cmake \
          -DCMAKE_BUILD_TYPE=Release -DDRAVIK_DIST_DIR="$root/build/wine/programs" \
          -DDRAVIK_TESTED_PROGRAMS="$root/build/unpacked" -DDRAVIK_SIGNED_PROGRAMS="$root/build/signed" \
          -DDRAVIK_WINE_TEST_TIMEOUT=$limit >/dev/null
    cmake --build build/wine -j"$(nproc)" --target wine_tests Dravik_long_labels standin_game
    # Two Wine sessions, side by side (tests/wine/CMakeLists.txt).
    if [ "$vm" = yes ]; then
        in_vm 3000 ctest --test-dir build/wine --output-on-failure -j2
    else
        make_locales
        say "Running the Windows tests under Wine"
        ctest --test-dir build/wine --output-on-failure -j2
    fi
    ;;
*)
    echo "usage: ./dev.sh run | test     (DRAVIK_VM=1 or 0 to force or forbid the test VM)" >&2
    exit 2
    ;;
esac
