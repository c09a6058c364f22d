#!/usr/bin/env bash
# make-demo.sh FOLDER [PLUGIN_FOLDER]: makes the demo game "ひかりの丘" in FOLDER: its scenario
# files from the plain sources in games/demo (UTF-8, scrambled into .scx files), its pictures,
# sounds, music and movie made by tools/demo_assets/make_demo_assets.py, and the delivered
# plug-ins bandwipe.vpx, basicfx.vpx, weatherfx.vpx and the picture loader velmoimg.spi (its
# PNG pictures need it) from PLUGIN_FOLDER (the win32 build's build/win32/plugins) in its system
# folder. Without them the game plays its transitions with the built-in one.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
dest=$1
plugins=${2:-}
mkdir -p "$dest"
cp -r "$repo/games/demo/." "$dest/"
while IFS= read -r -d '' plain; do
  bash "$repo/scripts/scramble.sh" "$plain" "${plain%.txt}"
  rm -f -- "$plain"
done < <(find "$dest" -type f -name '*.scx.txt' -print0)
python3 "$repo/tools/demo_assets/make_demo_assets.py" "$dest"

if [ -n "$plugins" ]; then
  for plugin in bandwipe.vpx basicfx.vpx weatherfx.vpx velmoimg.spi; do
    cp "$plugins/$plugin" "$dest/system/"
  done
fi
