#!/bin/sh
# The tarball as a player unpacks it: its program needs no SDL library of
# the system's, and started from another folder it plays the scenario.
# Usage: tarball.sh TARBALL
set -eu
launch="node $(dirname "$0")/x11.js"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
mkdir "$scratch/game" "$scratch/work"
tar -xzf "$1" -C "$scratch/game"
game="$(echo "$scratch"/game/skirmlings-*-linux-x86_64/bin/skirmlings)"
if objdump -p "$game" | grep -i 'NEEDED.*SDL'; then
    echo "tarball.sh: the program needs the system's SDL" >&2
    exit 1
fi
$launch --work "$scratch/work" --close term -- "$game"
