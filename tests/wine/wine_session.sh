#!/usr/bin/env bash
# One Wine session for a test run: a fresh prefix inside the build folder, a
# display of its own (Xvfb, also when DISPLAY names one: on a developer's
# desktop another window could take the focus the tests look at), and a
# persistent wineserver so that each program starts quickly.
#
# With DRAVIK_WINE_PREFIXES set, the prefix is made in that folder instead
# and <dir>/prefix links to it: the test VM keeps prefixes on its own disk,
# as the folder it shares with the host is slow and does not reliably show a
# file tree that is removed and made again.
#
#   wine_session.sh start <dir> [winxp]    make the prefix and start the session;
#                                           winxp: a 32-bit prefix that is Windows XP
#   wine_session.sh run <dir> <exe> [args]  run a Windows program in it
#   wine_session.sh stop <dir>             end the session's processes
#
# Programs run under the C.UTF-8 locale, where Wine's ANSI code page is
# Windows-1252. DRAVIK_WINE_LOCALE names another, from which Wine takes its
# code page and its language: ru_RU.UTF-8 gives 1251, pl_PL.UTF-8 1250,
# ja_JP.UTF-8 932. Wine takes only locales that glibc knows: "locale -a"
# lists them, dev.sh makes them with localedef.
set -euo pipefail

command=${1:?usage: wine_session.sh start|run|stop <dir> ...}
dir=${2:?session folder}
shift 2

export WINEPREFIX="$dir/prefix"
export WINEDEBUG=-all
# No add-on downloads.
export WINEDLLOVERRIDES="mscoree=;mshtml="
export LC_ALL=${DRAVIK_WINE_LOCALE:-C.UTF-8}

# The 32-bit loader, for the 32-bit programs.
WINE=${DRAVIK_WINE:-/usr/lib/wine/wine}
WINESERVER=/usr/lib/wine/wineserver

load_display() {
    if [ -f "$dir/display" ]; then export DISPLAY=$(cat "$dir/display"); fi
}

case "$command" in
start)
    windows=${1:-}
    case "$windows" in
    "") ;;
    # The programs' oldest Windows, 32-bit as it ran on the game's PCs.
    winxp) export WINEARCH=win32 ;;
    *) echo "unknown Windows version $windows" >&2; exit 2 ;;
    esac
    "$0" stop "$dir" >/dev/null 2>&1 || true
    # A test that ended early may have left a file immutable (chattr +i, see
    # tests/wine/test_support.h), which even root cannot remove.
    [ ! -e "$dir/prefix/drive_c" ] || chattr -R -f -i "$dir/prefix/drive_c" 2>/dev/null || true
    rm -rf "$dir"
    mkdir -p "$dir"
    if [ -n "${DRAVIK_WINE_PREFIXES:-}" ]; then
        mkdir -p "$DRAVIK_WINE_PREFIXES"
        ln -s "$(mktemp -d "$DRAVIK_WINE_PREFIXES/prefix.XXXXXX")" "$WINEPREFIX"
    fi
    # Xvfb itself refuses a display that is taken, and names the one it
    # took once it accepts clients (-displayfd): no guessing from lock
    # files, which races other users of the machine, and no sleeping. The
    # name reaches us through a pipe, kept off the test VM's shared folder,
    # which has none.
    pipe=$(mktemp -d "${TMPDIR:-/tmp}/dravik-xvfb.XXXXXX")
    number=
    for n in $(seq 90 140); do
        mkfifo "$pipe/display"
        Xvfb ":$n" -displayfd 3 -screen 0 1600x1280x24 -nolisten tcp 3>"$pipe/display" </dev/null >/dev/null 2>&1 &
        xvfb=$!
        read -r -t 60 number <"$pipe/display" || true
        rm -f "$pipe/display"
        [ -n "$number" ] && break
        kill "$xvfb" 2>/dev/null || true
    done
    rm -rf "$pipe"
    if [ -z "$number" ]; then
        echo "wine_session.sh: Xvfb did not start on any display from :90 to :140" >&2
        exit 1
    fi
    echo "$xvfb" >"$dir/xvfb.pid"
    echo ":$number" >"$dir/display"
    load_display
    # No menu builder either: it would write to the Linux desktop of whoever
    # runs the tests. A test that wants it removes the registry value.
    if ! WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winemenubuilder.exe=d" "$WINE" wineboot -i >/dev/null 2>&1; then
        # Wine's first start stops waiting for the new prefix after five
        # minutes while its setup goes on, which the emulated test VM can
        # take beside other work: wait for the setup, then start again.
        "$WINESERVER" -w
        WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winemenubuilder.exe=d" "$WINE" wineboot -i >/dev/null 2>&1
    fi
    "$WINE" reg add 'HKCU\Software\Wine\DllOverrides' /v winemenubuilder.exe /d '' /f >/dev/null 2>&1
    # A crash ends its process at once with the crash's status, as where no
    # debugger is set up. Wine would start its own, whose crash dialog waits
    # for a click that never comes; a debugger that cannot be started (an
    # empty command) lets the process end. Both views of a 64-bit prefix: a
    # 32-bit process reads the 32-bit one.
    views=(32)
    [ "$windows" = winxp ] || views+=(64)
    for view in "${views[@]}"; do
        "$WINE" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /d '' /f \
            "/reg:$view" >/dev/null ||
            { echo "wine_session.sh: Wine's debugger could not be turned off (view $view)" >&2; exit 1; }
    done
    if [ "$windows" = winxp ]; then
        "$WINE" winecfg -v winxp >/dev/null 2>&1
        version=$("$WINE" cmd /c ver </dev/null 2>/dev/null | tr -d '\r')
        case "$version" in
        *" 5.1."*) ;;
        *) echo "The prefix should be Windows XP (5.1), but says: $version" >&2; exit 1 ;;
        esac
    fi
    # Drive Q:, for tests of a game at a drive's root.
    mkdir -p "$WINEPREFIX/drive_q"
    ln -sfn ../drive_q "$WINEPREFIX/dosdevices/q:"
    # A virtual desktop gives every window a real title bar in screenshots.
    "$WINE" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
    "$WINE" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1600x1280 /f >/dev/null 2>&1
    "$WINESERVER" -w
    "$WINESERVER" -p </dev/null >/dev/null 2>&1
    # Start the desktop and the services now, detached from the output of
    # the programs run later (they would hold it open after those end).
    "$WINE" explorer /desktop=Default,1600x1280 </dev/null >/dev/null 2>&1 &
    "$WINE" reg query 'HKCU\Software\Wine\Explorer' </dev/null >/dev/null 2>&1
    echo "Wine session ready: $WINEPREFIX ($("$WINE" --version)${windows:+, $windows}, display $DISPLAY)"
    ;;
run)
    load_display
    # glibc spells the name its own way: ru_RU.utf8.
    known=$(echo "$LC_ALL" | sed 's/\.UTF-8$/.utf8/I')
    if ! locale -a | grep -qixF "$known"; then
        echo "wine_session.sh: the locale $LC_ALL is not made; make it with: localedef -i ${LC_ALL%%.*} -f UTF-8 $LC_ALL" >&2
        exit 1
    fi
    exec "$WINE" "$@"
    ;;
stop)
    load_display
    "$WINESERVER" -k 2>/dev/null || true
    if [ -f "$dir/xvfb.pid" ]; then
        kill "$(cat "$dir/xvfb.pid")" 2>/dev/null || true
        rm -f "$dir/xvfb.pid"
    fi
    ;;
*)
    echo "unknown command $command" >&2
    exit 2
    ;;
esac
