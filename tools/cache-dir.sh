#!/usr/bin/env bash
# Prints the folder that keeps what is slow to build and never changes (SDL
# for each target), outside every build folder so fresh clones share it.
# SKIRMLINGS_CACHE moves it.
echo "${SKIRMLINGS_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/skirmlings}"
