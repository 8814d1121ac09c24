#!/bin/sh
# The tarball as a player unpacks it: its program needs no SDL library of
# the system's, and started from another folder it plays the scenario, then
# fails to start with its sprite sheet garbled. Usage: tarball.sh TARBALL
set -eu
launch="node $(dirname "$0")/x11.js"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
mkdir "$scratch/game" "$scratch/work"
timeout 60 tar -xzf "$1" -C "$scratch/game"
game="$(echo "$scratch"/game/skirmlings-*-linux-x86_64)"
needs="$(timeout 60 objdump -p "$game/bin/skirmlings")"
if echo "$needs" | grep -i 'NEEDED.*SDL'; then
    echo "tarball.sh: the program needs the system's SDL" >&2
    exit 1
fi
$launch --work "$scratch/work" --close term --not-bitmap "$game/res/men.bmp" -- "$game/bin/skirmlings"
