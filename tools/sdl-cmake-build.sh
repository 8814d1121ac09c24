#!/usr/bin/env bash
# Usage: tools/sdl-cmake-build.sh TARGET TOOLCHAIN_FILE [CMAKE_OPTION...]
#
# Builds SDL, static only, from Debian's libsdl2 source (tools/sdl-source.sh)
# with CMake for the toolchain file given, installs it into the cache under
# sdl2-VERSION-TARGET and prints that folder. A folder already there is
# used as it is. The build happens in a scratch folder and is moved into
# place only when complete, so an interrupted build never leaves half a
# cache. The options given choose which parts of SDL are built.
set -euo pipefail
[ $# -ge 2 ] || { echo "usage: $0 TARGET TOOLCHAIN_FILE [CMAKE_OPTION...]" >&2; exit 2; }
target="$1"
toolchain="$(realpath "$2")"
shift 2
cd "$(dirname "$0")/.."
src="$(tools/sdl-source.sh)"
cache="$(tools/cache-dir.sh)"
version="$(basename "$src")"
version="${version#sdl2-}"
version="${version%-source}"
prefix="$cache/sdl2-$version-$target"

if [ ! -f "$prefix/.complete" ]; then
    echo "Building SDL $version for $target into $prefix" >&2
    mkdir -p "$cache"
    work="$(mktemp -d "$cache/.sdl2-$version-$target.XXXXXX")"
    trap 'rm -rf "$work"' EXIT
    cmake -S "$src" -B "$work/build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
        -DSDL_SHARED=OFF -DSDL_STATIC=ON -DSDL_TEST=OFF -DSDL_CCACHE=OFF "$@" >&2
    cmake --build "$work/build" -j"$(nproc)" >&2
    DESTDIR="$work/stage" cmake --install "$work/build" >&2
    touch "$work/stage$prefix/.complete"
    rm -rf "$prefix"
    mv "$work/stage$prefix" "$prefix"
fi
echo "$prefix"
