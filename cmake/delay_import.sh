#!/bin/sh
# Makes a delay-load import library from a MinGW import library: the DLL is
# then loaded at its first call instead of when the program starts.
#
#   delay_import.sh <nm> <dlltool> <import library> <dll name> <output>
set -eu
nm=$1 dlltool=$2 library=$3 dll=$4 output=$5
def=$output.def
{
    echo "LIBRARY $dll"
    echo "EXPORTS"
    # Each function's member defines its (decorated) name as a text symbol.
    "$nm" "$library" 2>/dev/null | sed -n 's/^[0-9a-f]* T _\{0,1\}\([A-Za-z][A-Za-z0-9_@]*\)$/\1/p' | sort -u
} >"$def"
"$dlltool" -k --input-def "$def" --dllname "$dll" --output-delaylib "$output"
