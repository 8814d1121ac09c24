#!/usr/bin/env bash
# Prints the folder that holds Debian's libsdl2 source package, the same SDL
# the desktop game links, fetching and unpacking it first if it is not yet
# in the cache (outside every build folder, keyed by version). The browser
# and Windows builds compile SDL from it.
#
# apt's own configuration is left alone: the deb-src entries live in a
# private list written from the machine's own deb entries, with private
# package lists beside it.
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/need.sh
need dpkg-dev xz-utils

SDL_VERSION=2.26.5
SDL_DEBIAN_VERSION=2.26.5+dfsg-1
cache="$(tools/cache-dir.sh)"
src="$cache/sdl2-$SDL_VERSION-source"

if [ ! -f "$src/.unpacked" ]; then
    work="$(mktemp -d)"
    trap 'rm -rf "$work"' EXIT
    mkdir -p "$work/parts" "$work/lists/partial" "$work/cache" "$work/get"
    for f in /etc/apt/sources.list.d/*.sources; do
        [ -f "$f" ] && sed -E 's/^Types:.*/Types: deb-src/' "$f" >"$work/parts/$(basename "$f")"
    done
    for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
        [ -f "$f" ] && sed -nE 's/^deb[[:space:]]+(.*)/deb-src \1/p' "$f" >>"$work/parts/machine.list"
    done
    private=(-o Dir::Etc::SourceList=/dev/null -o Dir::Etc::SourceParts="$work/parts"
             -o Dir::State::Lists="$work/lists" -o Dir::Cache="$work/cache"
             -o APT::Sandbox::User=root)
    echo "Fetching Debian's libsdl2 $SDL_DEBIAN_VERSION source into $cache" >&2
    apt-get "${private[@]}" update >&2
    (cd "$work/get" && apt-get "${private[@]}" source --download-only "libsdl2=$SDL_DEBIAN_VERSION" >&2)
    mkdir -p "$cache"
    rm -rf "$src.partial"
    dpkg-source --no-check --no-copy -x "$work/get/libsdl2_$SDL_DEBIAN_VERSION.dsc" "$src.partial" >&2
    touch "$src.partial/.unpacked"
    rm -rf "$src"
    mv "$src.partial" "$src"
fi
echo "$src"
