#!/usr/bin/env bash
# The game under a tiling window manager (i3), which tiles and frames what it manages
# unless a window asks otherwise: the frameless windows float unbordered, each exactly
# where the model puts it.
# usage: tiling_e2e.sh <orvanta binary> <artefacts folder>
set -euo pipefail
source "$(dirname "$0")/x11.sh"
source "$(dirname "$0")/desktops.sh"
arguments game artefacts -- "$@"
own_window_manager i3 1024x768

# Window $1 has no border or title bar of the manager's: it fills its frame.
expect_unbordered() {
  local info parent
  info=$(xwininfo -tree -id "$1")
  parent=$(sed -n 's/.*Parent window id: \(0x[0-9a-f]*\).*/\1/p' <<<"$info")
  [ -n "$parent" ] || fail "$2 has no parent window"
  info=$(xwininfo -id "$1")
  local inner
  inner="$(awk '/Relative upper-left [XY]/ {printf "%s ", $4} /Width:|Height:/ {printf "%s ", $2}' <<<"$info")"
  geometry "$parent"
  [ "$inner" = "0 0 $WIDTH $HEIGHT " ] ||
    fail "$2 is framed: at offset and size '$inner' in a frame of ${WIDTH}x$HEIGHT"
}

loading_unbordered() {
  echo "The loading screen floats unbordered where the model puts it"
  loading=$(wait_window "Form Loading" 8)
  expect_place "$loading" 347 275 "the loading screen"
  expect_unbordered "$loading" "the loading screen"
}
start_playing --on-the-way loading_unbordered "$game"

echo "Hoop, board and ball float unbordered at their places"
expect_play_layout
for window in "$hoop" "$board" "$ball"; do
  expect_unbordered "$window" "$(xprop -id "$window" WM_NAME)"
done
screenshot "$artefacts/game.png"
kill -TERM "$game_pid"
expect_exit 3 0
echo "PASS"
