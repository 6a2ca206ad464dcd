#!/usr/bin/env bash
# Makes the download: a zip of the given files, in that order, and beside it
# SHA256SUMS, which `sha256sum -c SHA256SUMS` checks. The same files give
# the same zip on every machine: each entry is dated from the source's last
# commit, or from SOURCE_DATE_EPOCH when that is set, and carries no owner
# or mode.
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
