#!/usr/bin/env bash
# Plays the sample demo through loader.exe under Wine, with the stand-in game
# installed as the game, and acts as the user: it waits for each window,
# saves a screenshot of it to build/ and presses OK.
#
#   tools/play_sample.sh <build tree>
set -euo pipefail
cd "$(dirname "$0")/.."
tree=${1:?build tree}
shots=$PWD/build
session=$tree/run-session
wine_session=tests/wine/wine_session.sh
export DRAVIK_WINE
DRAVIK_WINE=$(sed -n 's/^DRAVIK_WINE:FILEPATH=//p' "$tree/CMakeCache.txt")
loader_dir=$(sed -n 's/^DRAVIK_DIST_DIR:PATH=//p' "$tree/CMakeCache.txt")

step() { printf '\n-- %s\n' "$*"; }
wine_run() { "$wine_session" run "$session" "$@"; }
driver() { wine_run "$tree/tools/dravik-driver.exe" "$@"; }
screenshot() {
    DISPLAY=$(cat "$session/display") import -window root "$shots/$1"
    echo "   screenshot: build/$1"
}
trap '"$wine_session" stop "$session" >/dev/null 2>&1 || true' EXIT

step "Starting Wine with a fresh prefix in $session"
"$wine_session" start "$session"

game='C:\Games\UT2003'
demo='C:\Demos\Sample Demo.dem'
step "Installing the stand-in game as $game\\System\\UT2003.exe"
prefix=$session/prefix/drive_c
mkdir -p "$prefix/Games/UT2003/System" "$prefix/Demos"
cp "$tree/tools/UT2003.exe" "$prefix/Games/UT2003/System/UT2003.exe"
cp tools/sample.dem "$prefix/Demos/Sample Demo.dem"

step "Writing the settings record (HKCU\\Software\\Dravik\\Setup)"
wine_run reg add 'HKCU\Software\Dravik\Setup' /v Path /d "$game\\System\\UT2003.exe" /f
wine_run reg add 'HKCU\Software\Dravik\Setup' /v General /d "$game" /f

step "Opening \"$demo\" with $loader_dir/loader.exe"
# Wine quotes an argument with blanks, as the shell does with "%1".
wine_run "$loader_dir/loader.exe" "$demo" &
loader=$!

step "The game plays the demo"
driver wait-window "Playing demo" 30
screenshot run-playing.png
echo "   exec script: $(cat "$prefix/Games/UT2003/System/udemo.ini")"

step "The game has ended; the loader thanks the user"
driver wait-message 60
screenshot run-thanks.png
driver press OK
wait "$loader"
step "Done: the sample demo went the whole way"
