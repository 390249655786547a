#!/usr/bin/env bash
# The game at 1, 1.5 and 2 device pixels to a logical one: pictures of the loading screen
# and of the game go to the artefacts. The ball never shows its key colour (its window's
# shape, the model's region at the device scale, covers only ball), and at 2 it is drawn
# from its double-size picture, not blown up: many of its 2 x 2 pixel blocks are not of
# one colour, as they all would be in a doubled 1x picture.
# usage: sharp_e2e.sh <orvanta binary> <artefacts folder>
set -euo pipefail
source "$(dirname "$0")/x11.sh"
arguments game artefacts -- "$@"

# Prints picture $1's pixels, one "x y r g b" a line.
pixels() {
  local width
  width=$(identify -format '%w' "$1")
  stream -map rgb -storage-type char "$1" - 2>/dev/null | od -An -v -tu1 -w3 |
    awk -v w="$width" '{print (NR - 1) % w, int((NR - 1) / w), $1, $2, $3}'
}

# Prints how many pixels of picture $1 are of the key colour, magenta.
key_pixels() { pixels "$1" | awk '$3 == 255 && $4 == 0 && $5 == 255 {n++} END {print n + 0}'; }

# Prints the share in % of 2 x 2 blocks of picture $1 that hold no magenta and are not of
# one colour.
mixed_blocks() {
  pixels "$1" | awk '
    { colour[$1 "," $2] = ($3 == 255 && $4 == 0 && $5 == 255) ? "key" : $3 " " $4 " " $5
      if ($1 > w) w = $1; if ($2 > h) h = $2 }
    END {
      for (y = 0; y + 1 <= h; y += 2)
        for (x = 0; x + 1 <= w; x += 2) {
          a = colour[x "," y]; b = colour[x + 1 "," y]
          c = colour[x "," y + 1]; d = colour[x + 1 "," y + 1]
          if (a == "key" || b == "key" || c == "key" || d == "key") continue
          blocks++
          if (a != b || a != c || a != d) mixed++
        }
      printf "%d", blocks ? 100 * mixed / blocks : 0
    }'
}

picture_of_loading() {
  loading=$(wait_window "Form Loading" 8)
  sleep 0.3 # painted
  import -silent -window "$loading" "$artefacts/loading-$scale.png"
}

for scale in 1 1.5 2; do
  echo "Scale $scale"
  export QT_SCALE_FACTOR=$scale
  own_xvfb "$(scaled 0 1024 "$scale")x$(scaled 0 768 "$scale")"
  start_playing --scale "$scale" --on-the-way picture_of_loading "$game"
  sleep 2 # the ball falls to the floor
  screenshot "$artefacts/game-$scale.png"
  import -silent -window "$ball" "$artefacts/ball-$scale.png"
  key=$(key_pixels "$artefacts/ball-$scale.png")
  [ "$key" = 0 ] || fail "the ball shows $key pixels of its key colour at scale $scale"
  if [ "$scale" = 2 ]; then
    mixed=$(mixed_blocks "$artefacts/ball-$scale.png")
    echo "At scale 2, $mixed % of the ball's 2 x 2 blocks are of more than one colour"
    [ "$mixed" -ge 20 ] || fail "the ball is blown up from its 1x picture: $mixed % mixed blocks"
  fi
  kill -TERM "$game_pid"
  expect_exit 3 0
  kill "$xvfb_pid"
done
echo "PASS"
