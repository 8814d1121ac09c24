#!/usr/bin/env bash
# Remakes docs/screenshot.png: builds the game, runs it on a private X
# server for a couple of seconds of battle, and photographs its window.
# Usage: tools/screenshot.sh [seconds of play, default 2]
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/need.sh
need g++ cmake make libsdl2-dev xvfb xauth xdotool x11-apps imagemagick
play="${1:-2}"
cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DSKIRMLINGS_TESTS=OFF >/dev/null
cmake --build build-release -j"$(nproc)" --target skirmlings resources >/dev/null

work="$(mktemp -d)"
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $game $xvfb 2>/dev/null || true; rm -rf "$work"' EXIT
game=""
for _ in $(seq 300); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n1 "$work/display")"

(cd "$work" && exec "$OLDPWD/build-release/bin/skirmlings") &
game=$!
window=""
for _ in $(seq 300); do
    window="$(xdotool search --name '^Skirmlings!$' 2>/dev/null | head -n1 || true)"
    [ -n "$window" ] && break
    sleep 0.1
done
[ -n "$window" ] || { echo "the game's window did not appear" >&2; exit 1; }
sleep "$play"
xwd -silent -id "$window" -out "$work/shot.xwd"
/usr/bin/convert "xwd:$work/shot.xwd" docs/screenshot.png
kill -TERM "$game"
wait "$game" || true
echo "wrote docs/screenshot.png"
