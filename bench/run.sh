#!/usr/bin/env bash
# Times loader.exe and Dravik.exe under Wine against minimal programs, and
# reports their memory and file sizes, in a Wine session of its own.
#
#   bench/run.sh [runs]      from the repository root (default 21 runs)
#
# It runs the 64-bit test build in build/win64 (what ./dev.sh test builds on
# a machine that cannot run 32-bit programs), configuring it first if missing;
# file sizes are also given for the 32-bit release programs in dist/.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
tree=$root/build/win64
session=$tree/bench-session
wine_session=tests/wine/wine_session.sh
export DRAVIK_WINE=${DRAVIK_WINE:-/usr/lib/wine/wine64}
runs=${1:-21}

# Windows sees the machine's files through drive Z:.
winpath() { local path=$1; printf 'Z:%s' "${path//\//\\}"; }

if [ ! -f "$tree/CMakeCache.txt" ]; then
    cmake --no-warn-unused-cli -S . -B "$tree" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake \
          -DCMAKE_BUILD_TYPE=Release -DDRAVIK_DIST_DIR="$tree/bin" >/dev/null
fi
# Always brought up to date, so that the figures are the sources' own.
cmake --build "$tree" -j"$(nproc)" --target dravik_bench >/dev/null

trap '"$wine_session" stop "$session" >/dev/null 2>&1 || true' EXIT
"$wine_session" start "$session"

"$wine_session" run "$session" "$tree/bench/dravik-bench.exe" \
    --loader "$(winpath "$tree/bin/loader.exe")" \
    --setup "$(winpath "$tree/bin/Dravik.exe")" \
    --standin "$(winpath "$tree/tools/UT2003.exe")" \
    --launcher "$(winpath "$tree/bench/minimal_launcher.exe")" \
    --bare "$(winpath "$tree/bench/bare_window.exe")" \
    --dist-loader "$(winpath "$root/dist/loader.exe")" \
    --dist-setup "$(winpath "$root/dist/Dravik.exe")" \
    --runs "$runs"

echo
echo "machine: $(nproc) cores, $(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n 1)," \
     "$("$DRAVIK_WINE" --version), load average $(cut -d' ' -f1-3 /proc/loadavg)"
