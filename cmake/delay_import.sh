#!/bin/sh
# Makes a delay-load import library from a MinGW import library: the DLL is
# then loaded at its first call instead of when the program starts.
#
#   delay_import.sh <nm> <dlltool> <import library> <dll name> <output>
#
# Fails loudly: with an empty list the link would quietly take the functions
# from the ordinary import library, which loads the DLL at start.
set -eu
nm=$1 dlltool=$2 library=$3 dll=$4 output=$5
def=$output.def
symbols=$output.symbols
"$nm" "$library" >"$symbols"
# Each function's member defines its (decorated) name as a text symbol.
exports=$(sed -n 's/^[0-9a-f]* T _\{0,1\}\([A-Za-z][A-Za-z0-9_@]*\)$/\1/p' "$symbols" | sort -u)
if [ -z "$exports" ]; then
    echo "delay_import.sh: no functions of $dll found in $library" >&2
    exit 1
fi
printf 'LIBRARY %s\nEXPORTS\n%s\n' "$dll" "$exports" >"$def"
"$dlltool" -k --input-def "$def" --dllname "$dll" --output-delaylib "$output"
