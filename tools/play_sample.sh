#!/usr/bin/env bash
# Goes the user's way under Wine, with the stand-in game installed as the
# game: runs Dravik.exe and presses READY, then opens the sample demo from
# the shell, which starts loader.exe. It waits for each window, saves a
# screenshot of it to build/ and presses its button.
#
# The programs are the shipped 32-bit ones, as unpacked from the release zip
# into build/unpacked, run by the 32-bit Wine loader; the stand-in game and
# the driver come from the 32-bit build tree.
#
#   tools/play_sample.sh <32-bit build tree>
set -euo pipefail
cd "$(dirname "$0")/.."
tree=$(cd "${1:?build tree}" && pwd)
shots=$PWD/build
session=$tree/run-session
wine_session=tests/wine/wine_session.sh
export DRAVIK_WINE=/usr/lib/wine/wine
programs=$PWD/build/unpacked
for program in "$programs/Dravik.exe" "$programs/loader.exe" "$tree/tools/dravik-driver.exe" "$tree/tools/UT2003.exe"; do
    [ -f "$program" ] || { echo "play_sample.sh: $program is missing; ./dev.sh run builds it" >&2; exit 1; }
done

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
drive=$session/prefix/drive_c

step "Installing the stand-in game as C:\\Games\\UT2003\\System\\UT2003.exe, with its install record"
mkdir -p "$drive/Games/UT2003/System"
cp "$tree/tools/UT2003.exe" "$drive/Games/UT2003/System/UT2003.exe"
# Written by 32-bit reg.exe, like the game's 32-bit installer: on 64-bit
# Windows it lands below Wow6432Node, where Dravik.exe looks.
wine_run reg add 'HKLM\Software\Unreal Technology\Installed Apps\UT2003' /v Folder /d 'C:\Games\UT2003' /f

step "Unpacking Dravik.exe and loader.exe into C:\\Program Files\\Dravik"
mkdir -p "$drive/Program Files/Dravik"
cp "$programs/Dravik.exe" "$programs/loader.exe" "$drive/Program Files/Dravik/"

step "Dravik.exe at 144 dpi, for a look (closed without READY)"
wine_run reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f
wine_run 'C:\Program Files\Dravik\Dravik.exe' &
setup=$!
driver wait-window Dravik 30
sleep 1
screenshot run-setup-144dpi.png
wine_run reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 96 /f
driver close Dravik
# Closed without READY: Dravik.exe's exit status says so.
status=0
wait "$setup" || status=$?
[ "$status" = 3 ] || { echo "play_sample.sh: Dravik.exe ended with $status, not 3 (closed without READY)" >&2; exit 1; }

step "Running Dravik.exe"
wine_run 'C:\Program Files\Dravik\Dravik.exe' &
setup=$!
driver wait-window Dravik 30
sleep 1
screenshot run-setup.png
step "Pressing READY"
driver press READY Dravik
wait "$setup"
wine_run reg query 'HKCU\Software\Dravik\Setup'
wine_run reg query 'HKCR\dravikfile\Shell\open\command'

step "Opening C:\\Demos\\Sample Demo.dem from the shell"
mkdir -p "$drive/Demos"
cp tools/sample.dem "$drive/Demos/Sample Demo.dem"
driver open 'C:\Demos\Sample Demo.dem'

step "The game plays the demo"
driver wait-window "Playing demo" 30
screenshot run-playing.png
echo "   exec script: $(cat "$drive/Games/UT2003/System/udemo.ini")"

step "The game has ended; the loader thanks the user"
driver wait-message 60
screenshot run-thanks.png
driver press OK
step "Done: the sample demo went the whole way"
