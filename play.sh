#!/usr/bin/env bash
# Builds the game (Release, in build/) and starts it from the repository
# root, so session.log lands here.
set -euo pipefail
cd "$(dirname "$0")"
. tools/need.sh
need g++ cmake make libsdl2-dev
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DSKIRMLINGS_TESTS=OFF -DSKIRMLINGS_BENCH=OFF
cmake --build build -j"$(nproc)"
exec build/bin/skirmlings
