#!/bin/sh
# The .deb's contents, unpacked as dpkg would install them but into a
# scratch folder: its skirmlings command, started from another folder with
# HOME in a third, plays the scenario, then fails to start without its
# field, and the log is in the state folder and nowhere else.
# Usage: deb.sh DEB
set -eu
launch="node $(dirname "$0")/x11.js"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
timeout 60 dpkg-deb -x "$1" "$scratch/root"
mkdir "$scratch/home" "$scratch/work"
log="$scratch/home/.local/state/skirmlings/session.log"
HOME="$scratch/home" env -u XDG_STATE_HOME $launch --work "$scratch/work" --log "$log" --close term \
    --missing "$scratch/root/usr/lib/games/skirmlings/res/back2.bmp" -- "$scratch/root/usr/games/skirmlings"
logs="$(find "$scratch" -name session.log)"
[ "$logs" = "$log" ] || { echo "deb.sh: the logs are at: $logs" >&2; exit 1; }
