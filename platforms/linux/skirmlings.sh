#!/bin/sh
# The skirmlings command: starts the game in the player's state folder, so
# that its session.log lands there and not in whatever folder the game was
# started from (a menu starts it in the home). The game itself lives in
# lib/games/skirmlings beside this launcher's folder.
set -e
game="$(dirname "$(readlink -f "$0")")/../lib/games/skirmlings/bin/skirmlings"
state="${XDG_STATE_HOME:-$HOME/.local/state}/skirmlings"
mkdir -p "$state"
cd "$state"
exec "$game" "$@"
