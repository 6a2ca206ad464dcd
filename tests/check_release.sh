#!/usr/bin/env bash
# Checks the release programs: each imports only DLLs that come with Windows.
#
#   tests/check_release.sh <folder with the programs>
set -euo pipefail
folder=${1:?folder}
system_dlls='^(kernel32|user32|gdi32|advapi32|shell32|shlwapi|comctl32|ole32|msvcrt)\.dll$'
failed=0
checked=0
for program in "$folder"/*.exe; do
    checked=$((checked + 1))
    imports=$(i686-w64-mingw32-objdump -p "$program" | sed -n 's/^\s*DLL Name: //p')
    for dll in $imports; do
        if ! echo "$dll" | tr 'A-Z' 'a-z' | grep -qE "$system_dlls"; then
            echo "FAIL: $(basename "$program") imports $dll, which Windows does not provide"
            failed=$((failed + 1))
        fi
    done
    echo "$(basename "$program") imports: $(echo $imports)"
done
[ "$checked" -gt 0 ] || { echo "FAIL: no programs in $folder"; exit 1; }
echo "$((checked - failed)) passed, $failed failed"
[ "$failed" -eq 0 ]
