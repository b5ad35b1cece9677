#!/usr/bin/env bash
# Builds the Debian package of Miratos (CPack) into build/package/miratos_<version>_<arch>.deb.
# Install it with:  sudo apt install ./build/package/miratos_*.deb
set -euo pipefail
repo="$(cd "$(dirname "$0")" && pwd)"
"$repo/scripts/bootstrap.sh" --package miratos
rm -f "$repo"/build/package/miratos_*.deb
(cd "$repo/build" && cpack -G DEB -B "$repo/build/package" >/dev/null)
deb="$(ls "$repo"/build/package/miratos_*.deb)"
echo "The package is: $deb"
