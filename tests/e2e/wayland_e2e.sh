#!/usr/bin/env bash
# The game in a Wayland session (headless mutter) through XWayland, on two monitors: a
# 1024 x 768 one on the left and an 800 x 600 one on its right. Every window stands where
# the model puts it counted from the primary monitor's corner, the exit question opens
# centred on it, and when the primary changes during a game, or the other monitor is
# unplugged, the windows follow it; one that no monitor would show is brought onto it.
# usage: wayland_e2e.sh <orvanta binary> <artefacts folder>
set -euo pipefail
source "$(dirname "$0")/x11.sh"
source "$(dirname "$0")/desktops.sh"
arguments game artefacts -- "$@"
own_wayland_session 1024x768 800x600

# Waits until window $1 stands at the model's $2,$3 counted from the primary monitor.
expect_placed() {
  expect_place "$1" $(($2 + MONITOR_X)) $(($3 + MONITOR_Y)) "$4"
}

set_primary() {
  xrandr --output "$1" --primary
  primary_monitor
}

echo "The primary monitor on the right: the game opens there, centred on it"
set_primary XWAYLAND1
[ "$MONITOR_X $MONITOR_Y $MONITOR_WIDTH $MONITOR_HEIGHT" = "1024 0 800 600" ] ||
  fail "the primary monitor is ${MONITOR_WIDTH}x$MONITOR_HEIGHT+$MONITOR_X+$MONITOR_Y"
loading_then_entry_on_the_right() {
  loading=$(wait_window "Form Loading" 8)
  expect_placed "$loading" 235 191 "the loading screen"
  window_shot "$loading" "$artefacts/1-loading.png"
  entry=$(wait_window "Orvanta Basketball" 8)
  frame_extents "$entry"
  geometry "$entry"
  [ "$((X - LEFT_EDGE)) $((Y - TOP_EDGE)) $WIDTH $HEIGHT" = "$((MONITOR_X + 152)) 105 497 390" ] ||
    fail "the entry screen's frame is at $((X - LEFT_EDGE)),$((Y - TOP_EDGE)) around ${WIDTH}x$HEIGHT"
}
start_playing --on-the-way loading_then_entry_on_the_right "$game"
expect_placed "$hoop" 296 100 "the hoop"
expect_placed "$board" 0 511 "the score board"
geometry "$ball"
[ "$X" -ge "$MONITOR_X" ] || fail "the ball is at $X,$Y, off the primary monitor"
window_shot "$hoop" "$artefacts/2-hoop.png"

echo "Escape on the ball asks, centred on the primary monitor"
geometry "$ball"
xdotool mousemove $((X + 16)) $((Y + 50))
sleep 0.3 # the compositor gives the ball the pointer, the ball takes the focus after a hit
xdotool mousemove $((MONITOR_X + 700)) 20
sleep 0.3
xdotool key Escape
box=$(wait_window "Exit" 5)
frame_extents "$box"
geometry "$box"
centre_x=$((X - LEFT_EDGE + (WIDTH + LEFT_EDGE * 2) / 2))
[ $((centre_x - MONITOR_X - MONITOR_WIDTH / 2)) -ge -2 ] &&
  [ $((centre_x - MONITOR_X - MONITOR_WIDTH / 2)) -le 2 ] ||
  fail "the exit question's centre is at x $centre_x, not on the primary monitor's centre"
window_shot "$box" "$artefacts/3-exit.png"
xdotool key n
wait_gone "Exit"

echo "The primary changes to the left monitor during the game: the windows follow"
set_primary XWAYLAND0
expect_placed "$hoop" 296 100 "the hoop"
expect_placed "$board" 0 511 "the score board"
kill -TERM "$game_pid"
expect_exit 3 0

echo "A game on the left monitor; the primary goes right: the board, docked at the left"
echo "monitor's bottom, would be on no monitor and is brought onto the new primary"
loading_on_the_left() {
  loading=$(wait_window "Form Loading" 8)
  expect_placed "$loading" 347 275 "the loading screen"
}
start_playing --name Bob --on-the-way loading_on_the_left "$game"
expect_placed "$hoop" 408 128 "the hoop"
expect_placed "$board" 0 679 "the score board"
set_primary XWAYLAND1
expect_placed "$hoop" 408 128 "the hoop"
expect_placed "$board" 0 511 "the score board"
sleep 1 # the ball falls to the new primary's floor
geometry "$ball"
[ "$X" -ge "$MONITOR_X" ] && [ $((Y + HEIGHT)) -le "$MONITOR_HEIGHT" ] ||
  fail "the ball is at $X,$Y, not over the new primary monitor"

echo "The left monitor is unplugged: the right one moves to the desktop's corner, the"
echo "windows with it"
apply_monitors "[(0, 0, 1.0, 0, true, [('Meta-1', '800x600@60.000', @a{sv} {})])]"
deadline=$((SECONDS + 5))
until [ "$(xrandr --listmonitors | head -n 1)" = "Monitors: 1" ] || [ $SECONDS -gt $deadline ]; do
  sleep 0.1
done
primary_monitor
[ "$MONITOR_X $MONITOR_Y $MONITOR_WIDTH $MONITOR_HEIGHT" = "0 0 800 600" ] ||
  fail "the monitor left is ${MONITOR_WIDTH}x$MONITOR_HEIGHT+$MONITOR_X+$MONITOR_Y"
expect_placed "$hoop" 408 128 "the hoop"
expect_placed "$board" 0 511 "the score board"
sleep 0.5
geometry "$ball"
[ "$X" -ge 0 ] && [ $((X + WIDTH)) -le 800 ] && [ $((Y + HEIGHT)) -le 600 ] ||
  fail "the ball is at $X,$Y, off the monitor left"
kill -TERM "$game_pid"
expect_exit 3 0
echo "PASS"
