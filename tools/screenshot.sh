#!/usr/bin/env bash
# Remakes docs/screenshot.png from the real game: the Release build plays on
# an X server of xvfb-run's own for a while, then ImageMagick's import
# photographs its window.
# Usage: tools/screenshot.sh [seconds of play, default 2]
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/need.sh
need g++ cmake make libsdl2-dev xvfb xauth xdotool imagemagick
cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DSKIRMLINGS_TESTS=OFF >/dev/null
cmake --build build-release -j"$(nproc)" --target skirmlings resources >/dev/null
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
# The game writes its log into the folder it starts in: a scratch one.
# -noreset: a server resetting as xdotool leaves would drop the game.
xvfb-run --auto-servernum --server-args "-screen 0 800x600x24 -noreset" sh -c '
    (cd "$1" && exec "$2") &
    id="$(timeout 60 xdotool search --sync --onlyvisible --name "^Skirmlings!\$" | head -n1)"
    sleep "$3"
    [ -n "$id" ] && import -window "$id" "$4"; status=$?
    kill $! && wait $!
    exit $status' screenshot "$work" "$PWD/build-release/bin/skirmlings" "${1:-2}" "$PWD/docs/screenshot.png"
echo "wrote docs/screenshot.png" >&2
