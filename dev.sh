#!/usr/bin/env bash
# Dravik's developer commands for a Debian 12 machine.
#
#   ./dev.sh run    install what is missing, build, and play the sample demo
#                   through the whole system under Wine
#   ./dev.sh test   install what is missing, build, and run every test
set -euo pipefail
cd "$(dirname "$0")"
root=$PWD

say() { printf '\n== %s\n' "$*"; }

install_missing() {
    local packages=(cmake g++ libgtest-dev googletest g++-mingw-w64-i686 g++-mingw-w64-x86-64
                    wine wine64 xvfb xauth imagemagick icoutils)
    # The 32-bit Wine loader, for machines that can run 32-bit programs.
    if [ "$(dpkg --print-architecture)" = amd64 ]; then
        dpkg --print-foreign-architectures | grep -qx i386 || sudo_ dpkg --add-architecture i386
        packages+=(wine32:i386)
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

sudo_() { if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi; }

# Can this machine run 32-bit Linux programs itself (the 32-bit Wine loader)?
runs_32bit() {
    [ ! -e /proc/sys/fs/binfmt_misc/qemu-i386 ] && /usr/lib/wine/wine --version >/dev/null 2>&1
}

build_release() {
    say "Building the release programs into dist/"
    cmake --no-warn-unused-cli -S . -B build/win32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build build/win32 -j"$(nproc)"
    (cd build/win32 && cpack --config CPackConfig.cmake >/dev/null)
    cp build/win32/package/Dravik-*-win32.zip dist/
    echo "Packaged dist/$(cd dist && ls Dravik-*-win32.zip)"
}

# The build whose programs the Wine tests run: the release programs as
# unpacked from the zip where 32-bit programs can run, else the same sources
# built for 64-bit Windows.
test_build() {
    if runs_32bit; then
        cmake -S . -B build/win32 -DDRAVIK_TESTED_PROGRAMS="$root/build/unpacked" >/dev/null
        echo build/win32
    else
        cmake --no-warn-unused-cli -S . -B build/win64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake -DCMAKE_BUILD_TYPE=Release \
              -DDRAVIK_DIST_DIR="$root/build/win64/bin" >/dev/null
        cmake --build build/win64 -j"$(nproc)" >&2
        echo build/win64
    fi
}

case "${1:-}" in
run)
    install_missing
    build_release
    tree=$(test_build)
    exec tools/play_sample.sh "$root/$tree"
    ;;
test)
    install_missing
    say "Building and running the unit tests"
    cmake --no-warn-unused-cli -S . -B build/native -DCMAKE_BUILD_TYPE=Debug >/dev/null
    cmake --build build/native -j"$(nproc)"
    ctest --test-dir build/native --output-on-failure
    build_release
    say "Checking the release programs as unpacked from the zip"
    rm -rf build/unpacked && mkdir -p build/unpacked
    (cd build/unpacked && cmake -E tar xf "$root"/dist/Dravik-*-win32.zip)
    tests/check_release.sh build/unpacked
    tree=$(test_build)
    say "Running the Windows tests under Wine ($tree)"
    ctest --test-dir "$tree" --output-on-failure
    ;;
*)
    echo "usage: ./dev.sh run | test" >&2
    exit 2
    ;;
esac
