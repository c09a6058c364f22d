#!/usr/bin/env bash
# make-demo.sh FOLDER [PLUGIN_FOLDER]: makes the demo game in FOLDER: its scenario files from
# games/demo, its pictures, drawn here with ImageMagick as 24-bit BMP files, and the delivered
# plug-ins bandwipe.vpx, basicfx.vpx, weatherfx.vpx and the picture loader velmoimg.spi (PNG,
# JPEG, GIF and TGA pictures) from PLUGIN_FOLDER (the win32 build's build/win32/plugins) in its
# system folder. Without them the game plays its transitions with the built-in one.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
dest=$1
plugins=${2:-}
mkdir -p "$dest/cg"
cp -r "$repo/games/demo/." "$dest/"
while IFS= read -r -d '' plain; do
  bash "$repo/scripts/scramble.sh" "$plain" "${plain%.txt}"
  rm -f -- "$plain"
done < <(find "$dest" -type f -name '*.scx.txt' -print0)

cg=$dest/cg
# bmp NAME IMAGEMAGICK_ARGUMENTS...: cg/NAME.bmp, 24 bits.
bmp() {
  local name=$1
  shift
  convert "$@" -type TrueColor "BMP3:$cg/$name.bmp"
}
bmp sky -size 640x480 gradient:'#3a78d8'-'#cfe8ff' -fill '#ffffff' \
  -draw 'ellipse 120,90 70,22 0,360' -draw 'ellipse 170,80 60,26 0,360' -draw 'ellipse 470,140 90,24 0,360' \
  -fill '#5a8a3a' -draw 'polygon 0,480 0,380 160,330 330,370 480,320 640,360 640,480'
bmp sea -size 640x480 gradient:'#7fc8ff'-'#e8f6ff' -fill '#1d5fa8' -draw 'rectangle 0,250 640,480' \
  -fill '#2f7cc8' -draw 'rectangle 0,250 640,262' -fill '#f0e0a8' -draw 'polygon 0,480 0,400 640,450 640,480' \
  -fill '#fff4c0' -draw 'circle 520,90 520,50'
bmp forest -size 640x480 gradient:'#184a20'-'#8fc86a' -fill '#3b2a18' \
  -draw 'rectangle 60,120 90,480' -draw 'rectangle 250,80 290,480' -draw 'rectangle 520,140 548,480' \
  -fill '#2e6b2a' -draw 'circle 75,120 75,40' -draw 'circle 270,80 270,-10' -draw 'circle 534,140 534,70'
bmp window -size 560x112 xc:'#f0e8d8' -fill '#20304a' -draw 'roundrectangle 4,4 555,107 10,10'
# The traveller on a magenta ground: the layer takes its top-left colour as the key.
bmp traveler -size 168x290 xc:'#ff00ff' +antialias -fill '#7a4a28' -draw 'polygon 44,120 124,120 140,276 28,276' \
  -fill '#f3d2b0' -draw 'circle 84,70 84,30' -fill '#3a2a1a' -draw 'ellipse 84,44 42,18 180,360' \
  -fill '#c89a40' -draw 'ellipse 84,34 66,12 0,360' -fill '#40302a' -draw 'rectangle 44,276 70,289' \
  -draw 'rectangle 98,276 124,289'
# Shade for the forest: darker at the bottom of the traveller (a mask: black shows the picture).
bmp traveler_shade -size 168x290 gradient:'#000000'-'#909090'

if [ -n "$plugins" ]; then
  for plugin in bandwipe.vpx basicfx.vpx weatherfx.vpx velmoimg.spi; do
    cp "$plugins/$plugin" "$dest/system/"
  done
fi
