#!/usr/bin/env bash
# The screen shrinks during a game (the monitor changes its mode) and grows back: the ball
# keeps to the new floor, a window that the smaller screen would not show at all is
# brought onto it, and when the screen is large again every window is back where the
# model has it.
# usage: screen_change_e2e.sh <orvanta binary> <artefacts folder>
set -euo pipefail
source "$(dirname "$0")/x11.sh"
arguments game artefacts -- "$@"
own_xvfb 1024x768

start_playing "$game"
expect_place "$board" 0 679 "the score board"

echo "The screen becomes 800 x 600: the board, docked at the old bottom, comes onto it"
xrandr --newmode small 40 800 840 968 1056 600 601 605 628
xrandr --addmode screen small
xrandr --output screen --mode small
expect_place "$board" 0 511 "the score board"
expect_place "$hoop" 408 128 "the hoop"
sleep 1 # the ball falls to the new floor
geometry "$ball"
[ $((Y + HEIGHT)) -le 600 ] && [ $((X + WIDTH)) -le 800 ] ||
  fail "the ball is at $X,$Y, off the 800 x 600 screen"
screenshot "$artefacts/small.png"

echo "Back to 1024 x 768: the board is where the model has it again"
xrandr --output screen --mode 1024x768
expect_place "$board" 0 679 "the score board"
kill -TERM "$game_pid"
expect_exit 3 0
echo "PASS"
