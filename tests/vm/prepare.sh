#!/bin/bash
# Runs once inside the new image, at its only writable boot: installs the
# 32-bit Wine loader from the packages downloaded while the image was built.
# Their maintainer scripts are 32-bit programs, which the host that builds
# the image may not be able to run; the VM always can.
set -euo pipefail
export DEBIAN_FRONTEND=noninteractive
echo "Installing the 32-bit Wine packages inside the VM"
log=/var/log/dravik-prepare.log
apt-get install -y -q --no-install-recommends --no-download wine32:i386 >"$log" 2>&1 || {
    tail -n 40 "$log"
    exit 1
}
apt-get clean
/usr/lib/wine/wine --version
