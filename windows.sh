#!/usr/bin/env bash
# Cross-builds the game for 64-bit Windows (Release, in build-windows/) and
# packs it as build-windows/skirmlings-windows.zip. SDL is built once from
# Debian's own source and kept in the cache. The build's output goes to
# build-windows/windows-build.log and is shown only when the build fails.
set -euo pipefail
cd "$(dirname "$0")"
. tools/need.sh
. tools/reproducible.sh
need cmake make g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev binutils-mingw-w64-x86-64 \
    strip-nondeterminism
toolchain=platforms/windows/mingw-w64-x86_64.cmake
mkdir -p build-windows
log=build-windows/windows-build.log
if ! {
    # Only what the game needs: video, events, timers, files; no audio,
    # joysticks, GPU renderers or SDL's own main().
    sdl="$(tools/build-sdl.sh x86_64-w64-mingw32 cmake -DCMAKE_TOOLCHAIN_FILE="$PWD/$toolchain" \
        -DSDL2_DISABLE_SDL2MAIN=ON -DSDL_AUDIO=OFF -DSDL_JOYSTICK=OFF -DSDL_HAPTIC=OFF \
        -DSDL_HIDAPI=OFF -DSDL_SENSOR=OFF -DSDL_POWER=OFF -DSDL_RENDER=OFF -DSDL_LOCALE=OFF \
        -DSDL_MISC=OFF -DSDL_OPENGL=OFF -DSDL_OPENGLES=OFF -DSDL_VULKAN=OFF -DSDL_DIRECTX=OFF \
        -DSDL_RENDER_D3D=OFF -DSDL_XINPUT=OFF -DSDL_WASAPI=OFF)" &&
    cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
        -DCMAKE_BUILD_TYPE=Release -DSDL2_DIR="$sdl/lib/cmake/SDL2" \
        -DSKIRMLINGS_TESTS=OFF -DSKIRMLINGS_BENCH=OFF &&
    cmake --build build-windows -j"$(nproc)" &&
    (cd build-windows && cpack) &&
    # cpack's zip keeps the builder's user and the order its folders list
    # in: Debian's tool sorts the members and gives each the commit's time.
    strip-nondeterminism -T "$SOURCE_DATE_EPOCH" build-windows/skirmlings-windows.zip;
} >"$log" 2>&1; then
    cat "$log"
    echo "windows.sh: the build failed (the lines above say why)" >&2
    exit 1
fi
echo "Skirmlings for Windows: $PWD/build-windows/skirmlings-windows.zip"
