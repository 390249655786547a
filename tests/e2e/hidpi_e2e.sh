#!/usr/bin/env bash
# The game on a screen with two device pixels to a logical one: the windows keep their
# layout in logical pixels, so X sees everything twice as large, the ball still cut to
# its shape. Then SIGTERM ends the game cleanly. The game is recorded: replayed headless,
# it ends on the signal too, and X saw the ball at twice the replay's logical pixels.
# usage: hidpi_e2e.sh <orvanta binary> <x_watch> <orvanta-sim> <artefacts folder>
set -euo pipefail
source "$(dirname "$0")/x11.sh"
arguments game x_watch sim artefacts -- "$@"
export QT_SCALE_FACTOR=2
own_xvfb 2048x1536

watch_ball "$x_watch"
loading_at_scale_2() {
  loading=$(wait_window "Form Loading" 5)
  expect_geometry "$loading" 694 550 660 436 "the loading screen"
}
start_playing --scale 2 --on-the-way loading_at_scale_2 "$game" --record "$artefacts/hidpi.replay"
expect_geometry "$hoop" 816 256 418 226 "the hoop"
expect_geometry "$board" 0 1358 562 178 "the score board"
geometry "$ball"
[ "$WIDTH $HEIGHT" = "128 128" ] || fail "the ball window is ${WIDTH}x$HEIGHT device pixels"
[ "$X" = 958 ] || fail "the ball window starts at x $X, expected 958"

sleep 3 # let the ball settle near the floor
screenshot "$artefacts/hidpi-game.png"
geometry "$ball"
[ "$(window_at $((X + 3)) $((Y + 3)))" != "$ball" ] || fail "the ball's corner is not cut away"
[ "$(window_at $((X + 64)) $((Y + 64)))" = "$ball" ] || fail "the middle of the ball is not the ball's"
xdotool mousemove 2000 20

kill -TERM "$game_pid"
expect_exit 2 0
head -n 1 "$artefacts/hidpi.replay" | grep -q ' screen 1024x768 ' ||
  fail "the recording names another screen: $(head -n 1 "$artefacts/hidpi.replay")"
summary=$(replay_summary "$sim" "$artefacts/hidpi.replay" "$artefacts/replay-trace.txt")
expect_summary "$summary" name '"Ann"'
expect_summary "$summary" ended '"signal"'
moves=$(expect_ball_path "$artefacts/watch.txt" "$artefacts/replay-trace.txt" 2)
echo "$moves places of the ball seen by X are twice the replay's"
echo "PASS"
