#!/usr/bin/env bash
# Builds Debian's SDL source (tools/sdl-source.sh) with CMake as a static
# library for one target and prints the folder it is installed in, inside
# the cache and keyed by SDL's version and the target. A target already in
# the cache is not built again. The build happens in a temporary folder that
# is moved into place only at the end, so an interrupted build never leaves
# a half-built SDL behind.
#
# Usage: tools/build-sdl.sh TARGET CONFIGURE...
#   TARGET names the cache entry (wasm32-emscripten, x86_64-w64-mingw32...);
#   CONFIGURE is the command that configures a CMake build for that target,
#   with the target's own options, for instance
#   tools/build-sdl.sh wasm32-emscripten emcmake cmake -DSDL_AUDIO=OFF
# The build's output goes to standard error. JOBS sets the build's jobs.
set -euo pipefail
cd "$(dirname "$0")/.."
[ $# -ge 2 ] || { echo "usage: $0 TARGET CONFIGURE..." >&2; exit 2; }
target="$1"
shift

src="$(tools/sdl-source.sh)"
version="$(basename "$src")"
version="${version%-source}"
out="$(tools/cache-dir.sh)/$version-$target"

if [ ! -f "$out/.built" ]; then
    echo "Building $version for $target into $out" >&2
    work="$out.partial"
    rm -rf "$work"
    {
        "$@" -S "$src" -B "$work/build" -DCMAKE_BUILD_TYPE=Release \
            -DCMAKE_INSTALL_PREFIX="$out" -DSDL_SHARED=OFF -DSDL_STATIC=ON -DSDL_TEST=OFF
        cmake --build "$work/build" -j"${JOBS:-$(nproc)}"
        # Installed where it will live, through DESTDIR, then moved there.
        DESTDIR="$work/root" cmake --install "$work/build"
    } >&2
    touch "$work/root$out/.built"
    rm -rf "$out"
    mv "$work/root$out" "$out"
    rm -rf "$work"
fi
echo "$out"
