#!/usr/bin/env bash
# Builds the release build (build/: optimised, no sanitizers) and the Debian
# package of it, build/package/wavecrest_<version>_<arch>.deb, and prints the
# package's path and size.
# Usage: scripts/package.sh
# Needs dpkg-dev (dpkg-shlibdeps computes the package's dependencies) and
# file; scripts/install-deps.sh --with-tests installs both.
set -euo pipefail
cd "$(dirname "$0")/.."

for tool in dpkg-shlibdeps file; do
    if ! command -v "$tool" >/dev/null; then
        echo "package.sh: $tool is missing (scripts/install-deps.sh --with-tests installs it)" >&2
        exit 2
    fi
done

scripts/build.sh -DCMAKE_BUILD_TYPE=RelWithDebInfo -DWAVECREST_SANITIZE=OFF

# An older version's package would be picked up below, so it goes first.
rm -f build/package/wavecrest_*.deb
log=build/package/cpack.log
mkdir -p build/package
if ! (cd build && cpack) >"$log" 2>&1; then
    cat "$log" >&2
    echo "package.sh: cpack failed" >&2
    exit 1
fi

packages=(build/package/wavecrest_*.deb)
deb=$(realpath "${packages[0]}")
bytes=$(stat -c %s "$deb")
echo "$deb"
echo "size: $bytes bytes ($(numfmt --to=iec-i --suffix=B "$bytes"))"
