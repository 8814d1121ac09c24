#!/usr/bin/env bash
# Builds every download and gathers them in dist/ with a SHA256SUMS file:
# the Windows zip, the Linux tarball, the .deb and the browser page. Prints
# the list, each download with its size. Each build script installs what it
# needs on a fresh Debian machine; what they print goes to standard error.
set -euo pipefail
cd "$(dirname "$0")"
# One time for every download, the last commit's (tools/reproducible.sh).
. tools/reproducible.sh
./windows.sh >&2
./linux.sh >&2
page="$(./web.sh)"
rm -rf dist
mkdir dist
cp build-windows/skirmlings-windows.zip build-linux/skirmlings-linux-x86_64.tar.gz \
    build-linux/skirmlings_*_amd64.deb "$page" dist/
cd dist
sha256sum -- * >SHA256SUMS
echo "Skirmlings downloads, in $PWD:"
for f in *; do
    printf '  %-34s %9d bytes\n' "$f" "$(stat -c %s "$f")"
done
