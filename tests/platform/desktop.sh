#!/bin/sh
# The desktop game as a player installs it: BUILD installed into a scratch
# prefix and started from another scratch folder, in a window on the X
# server of the xvfb-run this runs under; then with a bitmap broken. With
# "memcheck", under valgrind. Usage: desktop.sh BUILD [memcheck]
set -eu
here="$(cd "$(dirname "$0")" && pwd)"
launch() { node "$here/x11.js" "$@"; }
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
timeout 120 cmake --install "$1" --prefix "$scratch/game" >/dev/null
mkdir "$scratch/work" && cd "$scratch/work"
if [ "${2:-}" = memcheck ]; then
    # SDL would present through Mesa's software renderer, whose JIT-compiled
    # drawing memcheck cannot follow reliably; X's own framebuffer shows the
    # same frames. An error or a definite leak makes a run's status 99.
    launch --work . --slow --env SDL_FRAMEBUFFER_ACCELERATION=0 --missing "$scratch/game/res/back2.bmp" -- \
        valgrind --leak-check=full --errors-for-leak-kinds=definite --error-exitcode=99 \
        --suppressions="$here/../valgrind.supp" --log-file=memcheck.%p.txt "$scratch/game/bin/skirmlings" ||
        { cat memcheck.*.txt >&2; exit 1; }
    exit
fi
# The sanitized game's leak checker loses track of the X libraries that SDL
# loads and unloads at run time; memcheck covers the game's leaks. Shift+P
# pauses too: the key, not the letter, counts.
launch --work . --key shift+p --env ASAN_OPTIONS=detect_leaks=0 --not-bitmap "$scratch/game/res/men.bmp" -- \
    "$scratch/game/bin/skirmlings"
