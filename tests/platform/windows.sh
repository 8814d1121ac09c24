#!/bin/sh
# The Windows game as a player gets it: ZIP unpacked into a scratch folder
# and run under wine, in a prefix of its own, from a working folder of its
# own, in a window on the X server of the xvfb-run this runs under; then
# without its sprite sheet. Usage: windows.sh ZIP
set -eu
here="$(cd "$(dirname "$0")" && pwd)"
scratch="$(mktemp -d)"
export WINEPREFIX="$scratch/wine" WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=
trap 'timeout 60 wineserver -k 2>/dev/null || true; rm -rf "$scratch"' EXIT
(cd "$scratch" && timeout 60 cmake -E tar xf "$1")
game="$(dirname "$(dirname "$(echo "$scratch"/*/bin/skirmlings.exe)")")"
mkdir "$scratch/work" && cd "$scratch/work"
# What the window's close button sends: wine turns Alt+F4 into the same
# close command.
node "$here/x11.js" --work . --close alt+F4 --missing "$game/res/men.bmp" -- wine "$game/bin/skirmlings.exe"
# Windows line ends and paths in the failed start's log, or else the
# desktop game's log.
! grep -Pqv '^\[(INFO|ERROR)\] \(src\\\w+\\\w+\.cpp:\w+\(\):\d+: errno: \w+\) .+\r$' session.log ||
    { echo "windows.sh: a line of the log is not a Windows one" >&2; cat session.log >&2; exit 1; }
