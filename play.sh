#!/usr/bin/env bash
# Builds the game (Release, in build/) and starts it from the repository
# root, so session.log lands here. The build's output goes to
# build/play-build.log and is shown only when the build fails.
set -euo pipefail
cd "$(dirname "$0")"
. tools/need.sh
need g++ cmake make libsdl2-dev libpng-dev
mkdir -p build
if ! { cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DSKIRMLINGS_TESTS=OFF \
           -DSKIRMLINGS_BENCH=OFF &&
       cmake --build build -j"$(nproc)" --target skirmlings resources; } >build/play-build.log 2>&1; then
    cat build/play-build.log
    echo "play.sh: the build failed (the lines above say why)" >&2
    exit 1
fi
echo "Skirmlings: P pauses and resumes; close the window to quit. Log: $PWD/session.log"
exec build/bin/skirmlings
