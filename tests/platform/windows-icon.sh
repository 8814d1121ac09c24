#!/bin/sh
# The zip's Windows program carries the game's icon, as Explorer and the
# taskbar show it: the icon group that wrestool extracts from it is the
# committed .ico byte for byte (wrestool pads its copy with zeros, which
# are left out). Usage: windows-icon.sh ZIP ICO
set -eu
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
cd "$scratch"
timeout 60 cmake -E tar xf "$1"
timeout 60 wrestool -x -t group_icon skirmlings-windows/bin/skirmlings.exe >icon.ico
head -c "$(stat -c %s "$2")" icon.ico | cmp - "$2"
