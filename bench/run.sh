#!/usr/bin/env bash
# Times the release programs (dist/loader.exe, dist/Dravik.exe, 32-bit) under
# Wine against minimal programs, and reports their memory and file sizes, in
# a Wine session of its own; then the loader on demos it plays through a link
# or a copy (bench/demo_forms_bench.cpp), and two of its steps inside one
# process (bench/loader_steps_bench.cpp).
#
#   bench/run.sh [runs]      from the repository root (default 21 runs)
#
# Run ./dev.sh test first: it builds dist/ and the 32-bit tools in
# build/win32. Timings mean something only where Wine runs on the machine's
# own processor, not in an emulated machine, so this runs directly. A machine
# that runs no 32-bit programs times 64-bit builds of the same sources
# (cmake/mingw-x86_64.cmake, in build/win64) under 64-bit Wine instead, and
# says so: the shipped programs are 32-bit.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
export DRAVIK_WINE=/usr/lib/wine/wine
tree=$root/build/win32
toolchain=cmake/mingw-i686.cmake
programs=$root/dist
wine_session=tests/wine/wine_session.sh
runs=${1:-21}

if ! "$DRAVIK_WINE" --version >/dev/null 2>&1; then
    if ! /usr/lib/wine/wine64 --version >/dev/null 2>&1; then
        echo "bench/run.sh: this machine runs neither the 32-bit nor the 64-bit Wine loader" >&2
        exit 1
    fi
    echo "bench/run.sh: this machine runs no 32-bit programs: timing 64-bit builds of the same sources under" \
         "64-bit Wine (build/win64), not the shipped 32-bit programs"
    export DRAVIK_WINE=/usr/lib/wine/wine64
    tree=$root/build/win64
    toolchain=cmake/mingw-x86_64.cmake
    programs=$tree/dist
fi
session=$tree/bench-session

# Windows sees the machine's files through drive Z:.
winpath() { local path=$1; printf 'Z:%s' "${path//\//\\}"; }

if [ ! -f "$tree/CMakeCache.txt" ]; then
    cmake --no-warn-unused-cli -S . -B "$tree" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
          -DCMAKE_BUILD_TYPE=Release -DDRAVIK_DIST_DIR="$programs" >/dev/null
fi
# Always brought up to date, so that the figures are the sources' own.
cmake --build "$tree" -j"$(nproc)" --target dravik_bench >/dev/null

trap '"$wine_session" stop "$session" >/dev/null 2>&1 || true' EXIT
"$wine_session" start "$session"

"$wine_session" run "$session" "$tree/bench/dravik-bench.exe" \
    --loader "$(winpath "$programs/loader.exe")" \
    --setup "$(winpath "$programs/Dravik.exe")" \
    --standin "$(winpath "$tree/tools/UT2003.exe")" \
    --launcher "$(winpath "$tree/bench/minimal_launcher.exe")" \
    --minimal-loader "$(winpath "$tree/bench/minimal_loader.exe")" \
    --setup-window "$(winpath "$tree/bench/setup_window.exe")" \
    --bare "$(winpath "$tree/bench/bare_window.exe")" \
    --size-floor "$(winpath "$tree/bench/size_floor.exe")" \
    --runs "$runs"

# Demos whose paths the game cannot read: through a link or a copy.
cmake --build "$tree" -j"$(nproc)" --target dravik_bench_forms >/dev/null
echo
"$wine_session" run "$session" "$tree/bench/dravik-bench-forms.exe" \
    --loader "$(winpath "$programs/loader.exe")" \
    --standin "$(winpath "$tree/tools/UT2003.exe")" \
    --runs "$runs"

# Two of the loader's steps inside one process: a long log, a copy.
cmake --build "$tree" -j"$(nproc)" --target loader_steps_bench >/dev/null
echo
"$wine_session" run "$session" "$tree/bench/loader-steps-bench.exe" "$runs"

echo
echo "machine: $(nproc) cores, $(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n 1)," \
     "$("$DRAVIK_WINE" --version), load average $(cut -d' ' -f1-3 /proc/loadavg)"
