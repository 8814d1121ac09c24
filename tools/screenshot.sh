#!/usr/bin/env bash
# Remakes docs/screenshot.png from the real game on a private X server.
# Usage: tools/screenshot.sh [seconds of play, default 2]
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/need.sh
need g++ cmake make libsdl2-dev xvfb xauth xdotool x11-apps imagemagick
cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DSKIRMLINGS_TESTS=OFF >/dev/null
cmake --build build-release -j"$(nproc)" --target screenshot skirmlings resources >/dev/null
build-release/bin/screenshot docs/screenshot.png "${1:-2}"
