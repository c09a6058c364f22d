#!/usr/bin/env bash
# A PNG and a JPEG shown through the delivered picture loader velmoimg.spi: what velmo32.exe's
# window shows equals, pixel for pixel, the pictures of the headless player, which runs the same
# decoder compiled in. The PNG has an alpha channel, which is dropped: its frame equals
# ImageMagick's reading of the file with the alpha channel switched off; the JPEG's frame is
# close to ImageMagick's reading of it (JPEG decoders may differ by a unit here and there).
#
# Arguments: velmo32.exe, the headless player (velmo-run of the host build), velmoimg.spi.
set -euo pipefail
source "$(dirname "$0")/driver.sh"
[[ $# -eq 3 ]] || { echo "usage: $0 velmo32.exe velmo-run velmoimg.spi" >&2; exit 2; }
player=$2
plugin=$3
[[ -x $player ]] || { echo "no headless player at $player (build the host preset first)" >&2; exit 2; }
e2e_init "$1"

e2e_make_game picture_plugin
mkdir -p "$E2E_GAME/cg"
convert -size 640x480 gradient:'#2060c0'-'#f0d040' -fill '#c03030' -draw 'circle 200,240 200,120' \
  \( -size 640x480 gradient:white-'#202020' \) -alpha off -compose CopyOpacity -composite \
  "PNG32:$E2E_GAME/cg/scene.png"
convert -size 640x480 gradient:'#10a040'-'#e0e0ff' -fill '#402080' -draw 'rectangle 300,100 560,380' \
  -fill '#f0f0f0' -draw 'circle 150,300 150,220' -quality 85 "$E2E_GAME/cg/photo.jpg"
cp "$plugin" "$E2E_GAME/system/velmoimg.spi"

# The headless player's pictures after each @UpdateScreen.
expected=$E2E_WORK/expected
mkdir -p "$expected"
"$player" --frames "$expected" "$E2E_GAME" >"$expected/transcript.txt" 2>&1 || true
[[ -f $expected/0002.bmp ]] || e2e_fail "the headless player did not show two pictures: $(cat "$expected/transcript.txt")"

# differing_pixels A B: how many pixels of the two pictures differ.
differing_pixels() { compare -metric AE "$1" "$2" null: 2>&1 || true; }

convert "$E2E_GAME/cg/scene.png" -alpha off "PNG24:$E2E_WORK/scene-rgb.png"
e2e_assert_eq "$(differing_pixels "$expected/0001.bmp" "$E2E_WORK/scene-rgb.png")" 0 \
  "the PNG's colours without its alpha channel"
psnr=$(compare -metric PSNR "$expected/0002.bmp" "$E2E_GAME/cg/photo.jpg" null: 2>&1 || true)
awk -v p="$psnr" 'BEGIN { exit !(p == "inf" || p + 0 >= 40) }' ||
  e2e_fail "the JPEG's picture is not ImageMagick's reading of it (PSNR $psnr dB)"

e2e_launch main "$E2E_GAME"
wid=$(e2e_find_window)
e2e_wait_for_picture "$wid" "$expected/0001.bmp" "the PNG"
e2e_pass "the PNG is shown through velmoimg.spi, its alpha channel dropped"
e2e_wait_for_picture "$wid" "$expected/0002.bmp" "the JPEG"
e2e_pass "the JPEG is shown through velmoimg.spi"
e2e_kill main
