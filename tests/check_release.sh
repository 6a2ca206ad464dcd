#!/usr/bin/env bash
# Checks the release programs as Windows users get them: each imports only
# DLLs that come with Windows and only functions that Windows XP SP3 has,
# stays within 160 KiB, is hardened (ASLR, DEP, its own stack guard, Terminal
# Server aware) and carries the manifest it needs and the icon's nine images;
# the loader loads the window DLLs only when it needs them; and, by the link
# maps of the build that made them, neither links libstdc++'s functexcept.o,
# whose error throws the programs replace, nor its prebuilt strings
# (CMakeLists.txt).
#
#   tests/check_release.sh <folder with Dravik.exe and loader.exe> <build folder with Dravik.map and loader.map>
set -euo pipefail
folder=${1:?folder}
maps=${2:?build folder with the link maps}
here=$(cd "$(dirname "$0")" && pwd)
# What XP SP3's DLLs export, one list per DLL (see the lists' headers).
xp_exports=$here/winxp-exports
system_dlls='^(kernel32|user32|gdi32|advapi32|shell32|shlwapi|comctl32|ole32|msvcrt)\.dll$'
max_bytes=$((160 * 1024))
passed=0
failed=0

check() {  # check <what> <condition...>
    local what=$1
    shift
    if "$@"; then
        passed=$((passed + 1))
    else
        echo "FAIL: $what"
        failed=$((failed + 1))
    fi
}

for name in Dravik loader; do
    program=$folder/$name.exe
    if [ ! -f "$program" ]; then
        check "$name.exe is missing" false
        continue
    fi
    headers=$(i686-w64-mingw32-objdump -p "$program")
    imports=$(echo "$headers" | sed -n 's/^\s*DLL Name: //p')
    # "start|delay <dll> <function>" lines; Windows refuses to start a
    # program with a start-time import its DLLs lack.
    functions=$("$here/pe_imports.pl" "$program")
    not_on_xp=$(awk 'FILENAME != "-" {
                         if (FNR == 1) { dll = FILENAME; sub(/.*\//, "", dll); sub(/\.txt$/, "", dll) }
                         if (!/^#/) xp[dll "!" $0] = 1
                         next
                     }
                     { dll = tolower($2); sub(/\.dll$/, "", dll); if (!((dll "!" $3) in xp)) print $2 "!" $3 }' \
                 "$xp_exports"/*.txt - <<<"$functions")
    foreign=$(echo "$imports" | grep -viE "$system_dlls" || true)
    size=$(stat -c %s "$program")
    manifest=$(wrestool -x --raw -t 24 "$program" 2>/dev/null || true)
    version=$(wrestool -x --raw -t 16 "$program" 2>/dev/null | tr -d '\0' || true)
    # The application icon's images as "<size>x<bits per pixel>", from its
    # group resource as an .ico file.
    icon=$(wrestool -x -t 14 "$program" 2>/dev/null | icotool -l - 2>/dev/null |
           sed -n 's/.* --width=\([0-9]*\) .* --bit-depth=\([0-9]*\) .*/\1x\2/p' | sort || true)
    echo "$name.exe: $size bytes, imports $(echo $imports)"

    check "$name.exe imports $(echo $foreign), which Windows does not provide" test -z "$foreign"
    check "$name.exe: no imports read" test -n "$functions"
    check "$name.exe imports what Windows XP SP3 lacks: $(echo $not_on_xp)" test -z "$not_on_xp"
    check "$name.exe is $size bytes, over $max_bytes" test "$size" -le "$max_bytes"
    check "$name.exe is not marked for ASLR (DYNAMIC_BASE)" grep -q DYNAMIC_BASE <<<"$headers"
    check "$name.exe is not marked for DEP (NX_COMPAT)" grep -q NX_COMPAT <<<"$headers"
    check "$name.exe is not marked Terminal Server aware (TERMINAL_SERVICE_AWARE)" \
        grep -q TERMINAL_SERVICE_AWARE <<<"$headers"
    # The programs' own stack guard (runtime/stack_guard.cpp), not libssp's,
    # which seeds it with CryptAcquireContextA before the program's own code
    # runs and so loads the crypto and window DLLs at every start.
    check "$name.exe imports CryptAcquireContextA (libssp's stack guard)" \
        test -z "$(grep -iE ' CryptAcquireContextA$' <<<"$functions")"
    # The seed comes from RtlGenRandom, looked up by its export name once the
    # DLL search is restricted: imported, it would resolve at the program's
    # start, and on Windows 7 and later load cryptbase.dll from its folder.
    check "$name.exe does not seed its stack guard from RtlGenRandom" grep -qa SystemFunction036 "$program"
    check "$name.exe imports RtlGenRandom (SystemFunction036) at its start" \
        test -z "$(grep -iE '^start advapi32\.dll SystemFunction036$' <<<"$functions")"
    # The guard's failure ends the program through the fast-fail instruction
    # (mov ecx, 2; int 0x29), linked in only where functions check the guard.
    check "$name.exe has no stack guard check" \
        env LC_ALL=C grep -qaP '\xb9\x02\x00\x00\x00\xcd\x29' "$program"
    check "$name.exe is a 32-bit program" grep -q 'file format pei-i386' <<<"$headers"
    # Windows XP refuses a program that asks for a newer Windows than 5.1.
    subsystem=$(awk '/^MajorSubsystemVersion/ {major = $2} /^MinorSubsystemVersion/ {minor = $2}
                     END {print major * 100 + minor}' <<<"$headers")
    check "$name.exe asks for Windows $((subsystem / 100)).$((subsystem % 100)), newer than XP's 5.1" \
        test "$subsystem" -le 501
    check "$name.exe has no common controls 6 in its manifest" grep -q 'Microsoft.Windows.Common-Controls' <<<"$manifest"
    check "$name.exe is not DPI aware" grep -q 'PerMonitorV2' <<<"$manifest"
    check "$name.exe has no version information" grep -q 'ProductName' <<<"$version"
    # 16, 32 and 48 pixels, each at 16 colours, 256 colours and 32-bit colour.
    check "$name.exe's icon is not 16, 32 and 48 px each at 4, 8 and 32 bits: $(echo $icon)" \
        test "$(echo $icon)" = "16x32 16x4 16x8 32x32 32x4 32x8 48x32 48x4 48x8"
    map=$maps/$name.map
    check "$name.exe has no link map at $map" test -s "$map"
    check "$name.exe links libstdc++'s functexcept.o: one of its error throws is not replaced" \
        test -z "$(grep -s 'functexcept\.o' "$map")"
    check "$name.exe links libstdc++'s prebuilt strings (string-inst.o, wstring-inst.o): built as C++17?" \
        test -z "$(grep -s -E 'w?string-inst\.o' "$map")"
done

manifest=$(wrestool -x --raw -t 24 "$folder/Dravik.exe" 2>/dev/null || true)
check "Dravik.exe does not run asInvoker" grep -q 'level="asInvoker"' <<<"$manifest"
# Loaded at start, the window DLLs would delay the game's start.
functions=$("$here/pe_imports.pl" "$folder/loader.exe")
check "loader.exe loads USER32 or GDI32 at its start" test -z "$(grep -iE '^start (user32|gdi32)\.dll ' <<<"$functions")"
check "loader.exe has no delayed USER32 imports" grep -qiE '^delay user32\.dll ' <<<"$functions"
check "loader.exe has no delayed GDI32 imports" grep -qiE '^delay gdi32\.dll ' <<<"$functions"
manifest=$(wrestool -x --raw -t 24 "$folder/loader.exe" 2>/dev/null || true)
version=$(wrestool -x --raw -t 16 "$folder/loader.exe" 2>/dev/null | tr -d '\0' || true)
check "loader.exe declares an execution level" test -z "$(grep requestedExecutionLevel <<<"$manifest")"
check "loader.exe's version information has installer words" \
    test -z "$(grep -iE 'setup|install|update|patch' <<<"$version")"
# Loaded at its start, the shell's DLLs would load theirs from the program's
# folder before Dravik.exe restricts the DLL search.
imports=$(i686-w64-mingw32-objdump -p "$folder/Dravik.exe" | sed -n 's/^\s*DLL Name: //p')
check "Dravik.exe loads the shell's DLLs at its start" \
    test -z "$(grep -iE '^(shell32|shlwapi|ole32)\.dll$' <<<"$imports")"

echo "release: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
