#!/usr/bin/env bash
# Every download rebuilds bit for bit: release.sh runs again on a copy of
# this tree (with its git history and uncommitted changes, as dist/ was built
# from them) in another folder, in another time zone and under umask 002.
# When a download's sum differs from dist/'s, prints both sums and the start
# of diffoscope's account of the difference, and fails. Run by test.sh after
# release.sh; the second build reuses the cached SDL.
set -euo pipefail
cd "$(dirname "$0")/.."
umask 002
tree="$(mktemp -d)"
trap 'rm -rf "$tree"' EXIT
tar -c --exclude='./build*' --exclude=./dist --exclude=node_modules . | tar -xm -C "$tree"
(cd "$tree" && TZ=Pacific/Auckland timeout 1800 ./release.sh >/dev/null)
diff -u dist/SHA256SUMS "$tree/dist/SHA256SUMS" >&2 && exit 0
(timeout 300 diffoscope --exclude-directory-metadata=yes dist "$tree/dist" || true) | head -n 60 >&2
exit 1
