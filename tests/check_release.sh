#!/usr/bin/env bash
# Checks the release programs: each imports only DLLs that come with Windows.
#
#   tests/check_release.sh <folder with the programs>
set -euo pipefail
folder=${1:?folder}
system_dlls='^(kernel32|user32|gdi32|advapi32|shell32|shlwapi|comctl32|ole32|msvcrt)\.dll$'
passed=0
failed=0
for program in "$folder"/*.exe; do
    [ -e "$program" ] || { echo "FAIL: no programs in $folder"; exit 1; }
    imports=$(i686-w64-mingw32-objdump -p "$program" | sed -n 's/^\s*DLL Name: //p')
    foreign=$(echo "$imports" | grep -viE "$system_dlls" || true)
    if [ -n "$foreign" ]; then
        echo "FAIL: $(basename "$program") imports $(echo $foreign), which Windows does not provide"
        failed=$((failed + 1))
    else
        echo "ok: $(basename "$program") imports only $(echo $imports)"
        passed=$((passed + 1))
    fi
done
echo "imports: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
