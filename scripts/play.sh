#!/usr/bin/env bash
# Sets up the machine, builds velmo32.exe and the delivered plug-ins and plays the demo game under
# Wine: a copy of games/demo with the program beside it and the plug-ins in its system folder, in
# a window on the current display (a virtual one when there is none), until the player closes it.
# It plays sound where the machine has a sound server; where there is none it starts a silent one.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake --preset win32 >/dev/null
cmake --build --preset win32 --target velmo32 bandwipe basicfx weatherfx velmoimg

game=$(mktemp -d /tmp/velmo-demo.XXXXXX)
bash scripts/make-demo.sh "$game" build/win32/plugins
cp build/win32/engine/velmo32.exe "$game"/
echo "playing $game/velmo32.exe"

export WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LANG=ja_JP.UTF-8
export WINEPREFIX=${WINEPREFIX:-$HOME/.velmo-wine}
source scripts/wine-env.sh
if [ -z "${DISPLAY:-}" ]; then
  # No display: a virtual one, so the game still runs (screenshots: import -window root), with
  # the machine's sound server or a silent one.
  wine_start
  echo "no display: running on the virtual display $DISPLAY"
else
  # Sound where the machine has a sound server; where there is none a silent one, so that Wine
  # has sound devices and prints no errors about missing sound cards.
  sound_start
  trap sound_stop EXIT
fi
cd "$game"
wine velmo32.exe
