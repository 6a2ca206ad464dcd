#!/usr/bin/env bash
# Builds the release of a build folder signed with a throw-away self-signed
# certificate, given once as certificate and key files and once as a PKCS#12
# file with a password. Each time both programs in the zip must carry a valid
# Authenticode signature, and without it be the unsigned programs, byte for
# byte. The last signed programs are left unpacked for the Wine tests, and
# the signed zip in the build's dist folder.
#
#   tests/check_signing.sh <build folder> <folder for the signed programs>
set -euo pipefail
build=${1:?build folder}
out=${2:?folder for the signed programs}
dist=$(sed -n 's/^DRAVIK_DIST_DIR:[A-Z]*=//p' "$build/CMakeCache.txt")
keys=$(mktemp -d)
trap 'rm -rf "$keys"' EXIT

openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Dravik test signing" \
    -addext extendedKeyUsage=codeSigning -keyout "$keys/key.pem" -out "$keys/cert.pem" 2>/dev/null
openssl pkcs12 -export -inkey "$keys/key.pem" -in "$keys/cert.pem" -out "$keys/signing.p12" \
    -passout pass:throw-away

failed=0
check_signed() {  # check_signed <how the certificate was given>
    rm -rf "$out" && mkdir -p "$out"
    (cd "$out" && cmake -E tar xf "$dist"/Dravik-*-win32.zip)
    local name
    for name in Dravik.exe loader.exe; do
        # The test certificate is its own root; trusted here, and only here.
        if ! osslsigncode verify -CAfile "$keys/cert.pem" -in "$out/$name" >"$keys/verify.txt" 2>&1; then
            cat "$keys/verify.txt"
            echo "FAIL: $name signed with $1 has no valid signature"
            failed=$((failed + 1))
        fi
        osslsigncode remove-signature -in "$out/$name" -out "$keys/$name" >/dev/null
        if ! cmp -s "$keys/$name" "$dist/$name"; then
            echo "FAIL: $name signed with $1 is more than the unsigned program and a signature"
            failed=$((failed + 1))
        fi
        rm -f "$keys/$name"
    done
}

DRAVIK_SIGN_CERT=$keys/cert.pem DRAVIK_SIGN_KEY=$keys/key.pem cmake --build "$build" --target release
check_signed "certificate and key files"
DRAVIK_SIGN_PKCS12=$keys/signing.p12 DRAVIK_SIGN_PASSWORD=throw-away cmake --build "$build" --target release
check_signed "a PKCS#12 file"

echo "signing: $failed failed"
[ "$failed" -eq 0 ]
