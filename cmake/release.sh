#!/usr/bin/env bash
# Makes the download: a zip of the given files, in that order, and beside it
# SHA256SUMS, which `sha256sum -c SHA256SUMS` checks. The same files give
# the same zip on every machine: each entry is dated from the source's last
# commit, or from SOURCE_DATE_EPOCH when that is set, and carries no owner
# or mode.
#
# The programs are Authenticode-signed first when a certificate is given:
#   DRAVIK_SIGN_CERT and DRAVIK_SIGN_KEY   certificate (chain) and private key files
#   DRAVIK_SIGN_PKCS12                     or both in one PKCS#12 file
#   DRAVIK_SIGN_PASSWORD                   the key's or the PKCS#12 file's password, if any
#   DRAVIK_SIGN_TIMESTAMP_URL              an RFC 3161 time-stamp server, if wanted
#
#   release.sh <source folder> <zip> <staging folder> <file>...
set -euo pipefail
source=$1 zip=$2 staging=$3
shift 3

if [ -n "${SOURCE_DATE_EPOCH:-}" ]; then
    epoch=$SOURCE_DATE_EPOCH
elif ! epoch=$(git -C "$source" log -1 --format=%ct 2>/dev/null) || [ -z "$epoch" ]; then
    # Outside git, zip's earliest date; SOURCE_DATE_EPOCH gives the commit's.
    epoch=315532800
    echo "release.sh: no commit to date the zip's files from; set SOURCE_DATE_EPOCH" >&2
fi

rm -rf "$staging"
mkdir -p "$staging" "$(dirname "$zip")"
files=()
for file in "$@"; do
    cp "$file" "$staging/"
    files+=("$staging/$(basename "$file")")
done

sign=()
if [ -n "${DRAVIK_SIGN_PKCS12:-}" ]; then
    sign=(-pkcs12 "$DRAVIK_SIGN_PKCS12")
elif [ -n "${DRAVIK_SIGN_CERT:-}" ] || [ -n "${DRAVIK_SIGN_KEY:-}" ]; then
    sign=(-certs "${DRAVIK_SIGN_CERT:?DRAVIK_SIGN_KEY needs DRAVIK_SIGN_CERT}"
          -key "${DRAVIK_SIGN_KEY:?DRAVIK_SIGN_CERT needs DRAVIK_SIGN_KEY}")
fi
# The password through a pipe, not on the command line that others can see.
osslsign() {
    if [ -n "${DRAVIK_SIGN_PASSWORD:-}" ]; then
        osslsigncode sign -readpass <(printf '%s' "$DRAVIK_SIGN_PASSWORD") "$@"
    else
        osslsigncode sign "$@"
    fi
}
if [ ${#sign[@]} -gt 0 ]; then
    [ -z "${DRAVIK_SIGN_TIMESTAMP_URL:-}" ] || sign+=(-ts "$DRAVIK_SIGN_TIMESTAMP_URL")
    for file in "${files[@]}"; do
        case "$file" in
        *.exe)
            osslsign "${sign[@]}" -h sha256 -n Dravik -in "$file" -out "$file.signed" >/dev/null
            mv "$file.signed" "$file"
            echo "Signed $(basename "$file")"
            ;;
        esac
    done
fi

python3 - "$zip.part" "$epoch" "${files[@]}" <<'END'
import os, sys, time, zipfile
zip_path, epoch, files = sys.argv[1], int(sys.argv[2]), sys.argv[3:]
stamp = time.gmtime(max(epoch, 315532800))[:6]
with zipfile.ZipFile(zip_path, "w") as archive:
    for path in files:
        entry = zipfile.ZipInfo(os.path.basename(path), stamp)
        entry.create_system = 0  # MS-DOS: no Unix owner or mode
        entry.external_attr = 0x20  # FILE_ATTRIBUTE_ARCHIVE, as Windows sets it
        entry.compress_type = zipfile.ZIP_DEFLATED
        with open(path, "rb") as file:
            archive.writestr(entry, file.read(), compresslevel=9)
END
mv "$zip.part" "$zip"
(cd "$(dirname "$zip")" && sha256sum "$(basename "$zip")" >SHA256SUMS)
echo "Packaged $zip, dated $(date -u -d "@$epoch" '+%Y-%m-%d %H:%M UTC')"
