#!/usr/bin/env bash
# Every download rebuilds bit for bit: release.sh runs again in a clone of
# this tree in another folder, in another time zone, all under umask 002, and
# each download must equal the one in dist/ byte for byte. Names each that
# differs, with the start of diffoscope's account of how. No program may
# name the SDL cache's folder either, which differs from builder to builder.
# Run by test.sh after release.sh; the clone reuses the SDL cache.
set -euo pipefail
cd "$(dirname "$0")/.."
umask 002
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
tree="$scratch/skirmlings"
git clone --quiet --shared --no-checkout . "$tree"
git -C "$tree" checkout --quiet --detach "$(git rev-parse HEAD)"
# dist/ holds what this tree builds, so its uncommitted changes come along.
git diff HEAD --binary | git -C "$tree" apply --allow-empty
git ls-files -z --others --exclude-standard | xargs -0r cp --parents -t "$tree"
(cd "$tree" && TZ=Pacific/Auckland timeout 1800 ./release.sh) >"$scratch/log" 2>&1 ||
    { cat "$scratch/log"; echo "reproducible.sh: the second build failed" >&2; exit 1; }
status=0
for built in dist/*; do
    again="$tree/dist/$(basename "$built")"
    cmp -s "$built" "$again" && continue
    echo "reproducible.sh: $(basename "$built") differs when built again" >&2
    (timeout 300 diffoscope --text - "$built" "$again" || true) | head -n 40 >&2
    status=1
done
cache="$(tools/cache-dir.sh)"
if grep -rlF "$cache" build-windows/bin build-linux/*/bin build-web/*.html; then
    echo "reproducible.sh: the programs above name the cache folder $cache" >&2
    status=1
fi
exit $status
