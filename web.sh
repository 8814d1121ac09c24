#!/usr/bin/env bash
# Builds the game for a web browser: one self-contained page,
# build-web/skirmlings.html, and prints its path. Installs what it needs on
# a fresh Debian machine: Debian's emscripten, and SDL built for WebAssembly
# from Debian's own SDL source, kept in the cache so later runs skip it.
# The build's output goes to build-web/web-build.log and is shown only when
# something fails.
set -euo pipefail
cd "$(dirname "$0")"
. tools/need.sh
. tools/reproducible.sh
need emscripten nodejs cmake make

cache="$(tools/cache-dir.sh)"
# Debian's emscripten finds its acorn module only through NODE_PATH, and
# keeps its system libraries in a read-only cache of its own: ours lives
# beside the cached SDL and is built once, on the first run.
export NODE_PATH=/usr/share/nodejs
export EM_CACHE="$cache/emscripten-$(dpkg-query -W -f='${Version}' emscripten | tr '~:+' '___')"
export EM_FROZEN_CACHE=
mkdir -p build-web
log="$PWD/build-web/web-build.log"
: >"$log"

fail() {
    cat "$log"
    echo "web.sh: $1 failed (the lines above say why)" >&2
    exit 1
}

if [ ! -f "$EM_CACHE/.ready" ]; then
    echo "Building emscripten's system libraries into $EM_CACHE (once)" >&2
    # Linking a small program with the game's own flags builds every
    # library the game needs; a half-built cache is never put in place.
    (
        set -e
        rm -rf "$EM_CACHE.partial"
        mkdir -p "$EM_CACHE.partial/probe"
        cd "$EM_CACHE.partial/probe"
        printf '#include <cstdio>\n#include <emscripten.h>\nint main() { emscripten_sleep(0); std::puts("ok"); }\n' >probe.cpp
        EM_CACHE="$EM_CACHE.partial" em++ -Oz probe.cpp -o probe.js -sASYNCIFY -sMALLOC=emmalloc -sENVIRONMENT=web
        rm -rf "$EM_CACHE.partial/probe"
        touch "$EM_CACHE.partial/.ready"
        rm -rf "$EM_CACHE"
        mv "$EM_CACHE.partial" "$EM_CACHE"
    ) >>"$log" 2>&1 || fail "building emscripten's libraries"
fi

# Only what the game uses: video, events and the tick counter, built for
# size, since the page is the download (hence a cache entry of its own),
# and without the blitters the game never asks for: run-length encoding,
# YUV, palettes and alpha blending. CMake's checks link with the release
# flags, as the game does, so they need no debug build of emscripten's
# libraries.
small="-Oz -DNDEBUG -DSDL_HAVE_RLE=0 -DSDL_HAVE_YUV=0 -DSDL_HAVE_BLIT_0=0 -DSDL_HAVE_BLIT_1=0 -DSDL_HAVE_BLIT_A=0"
sdl="$(tools/build-sdl.sh wasm32-emscripten-small emcmake cmake "-DCMAKE_C_FLAGS_RELEASE=$small" \
    -DSDL_AUDIO=OFF -DSDL_JOYSTICK=OFF -DSDL_HAPTIC=OFF -DSDL_HIDAPI=OFF -DSDL_SENSOR=OFF \
    -DSDL_POWER=OFF -DSDL_THREADS=OFF -DSDL_PTHREADS=OFF -DSDL_OPENGL=OFF -DSDL_OPENGLES=OFF \
    -DSDL_RENDER=OFF -DSDL_LOCALE=OFF -DSDL_MISC=OFF -DCMAKE_TRY_COMPILE_CONFIGURATION=Release \
    2>>"$log")" || fail "building SDL"

{ emcmake cmake -S . -B build-web -DCMAKE_BUILD_TYPE=Release -DCMAKE_TRY_COMPILE_CONFIGURATION=Release \
      -DSDL2_DIR="$sdl/lib/cmake/SDL2" &&
  cmake --build build-web -j"$(nproc)" --target skirmlings; } >>"$log" 2>&1 || fail "the build"
echo "$PWD/build-web/skirmlings.html"
