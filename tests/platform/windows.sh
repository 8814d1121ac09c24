#!/bin/sh
# The Windows game as a player gets it: ZIP unpacked into a scratch folder
# and run under wine, in a prefix of its own, from a working folder of its
# own, in a window on the X server of the xvfb-run this runs under.
# Usage: windows.sh ZIP
set -eu
here="$(cd "$(dirname "$0")" && pwd)"
scratch="$(mktemp -d)"
export WINEPREFIX="$scratch/wine" WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=
trap 'wineserver -k 2>/dev/null || true; rm -rf "$scratch"' EXIT
(cd "$scratch" && cmake -E tar xf "$1")
game="$(dirname "$(dirname "$(echo "$scratch"/*/bin/skirmlings.exe)")")"
mkdir "$scratch/work" && cd "$scratch/work"
fail() { echo "windows.sh: $1" >&2; cat session.log >&2; exit 1; }
# What the window's close button sends: wine turns Alt+F4 into the same
# close command.
node "$here/x11.js" --work . --close alt+F4 -- wine "$game/bin/skirmlings.exe"
# Windows line ends and paths, or else the desktop game's log.
! grep -Pqv '^\[INFO\] \(src\\\w+\\\w+\.cpp:\w+\(\):\d+: errno: \w+\) .+\r$' session.log ||
    fail "a line of the log is not a Windows one"
# Without the sprite sheet the run ends at once and says why.
rm "$game/res/men.bmp"
status=0
timeout 300 wine "$game/bin/skirmlings.exe" || status=$?
[ $status = 255 ] || fail "exited $status without men.bmp"
at="Z:$(echo "$game" | tr / '\\')"
tr -d '\r' <session.log | sed 's/^.*errno: [A-Za-z]*) //' >said.txt
printf '%s\n' "Starting..." "Loading first image:" "Loading image: $at\\res\\back2.bmp" "Loading second image:" \
    "Loading image: $at\\res\\men.bmp" "Could not load BMP: Couldn't open $at\\res\\men.bmp" \
    "Could not load men.bmp!" "Finished." | diff - said.txt >&2 || fail "the missing sheet's chain differs"
