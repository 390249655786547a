#!/usr/bin/env bash
# The built game on a real X server, driven only as a player would, with xdotool:
# loading screen, entry screen, a one-minute game, the ball's shape and touch, the end
# screen, Exit. Screenshots of each screen go to the artefacts folder.
# The game's beeps must reach the X server as bells: eleven in a game that runs out.
# The game is recorded and replayed headless: the replay's summary is what the end screen
# and the bells showed, and every place X saw the ball at is the replay's for that round.
# usage: game_e2e.sh <orvanta binary> <bell counter> <x_watch> <orvanta-sim> <clipboard tool>
#                    <artefacts folder>
set -euo pipefail
source "$(dirname "$0")/x11.sh"
arguments game bell_counter x_watch sim clipboard_tool artefacts -- "$@"
own_xvfb 1024x768

"$bell_counter" >"$artefacts/bells.txt" &
cleanup_pids+=($!)
watch_ball "$x_watch"

loading_then_entry() {
  echo "The loading screen opens centred, and hands over after 4.5 s"
  loading=$(wait_window "Form Loading" 5)
  expect_geometry "$loading" 347 275 330 218 "the loading screen"
  screenshot "$artefacts/1-loading.png"
  wait_window "Orvanta Basketball" 8 >/dev/null
  wait_gone "Form Loading"
  screenshot "$artefacts/2-entry.png"
  echo "A name is typed, a length picked, and Continue starts the game"
}
start_playing --on-the-way loading_then_entry "$game" --record "$artefacts/game.replay"

echo "Hoop and board stand where they belong; the ball is cut to its shape"
expect_play_layout
prints "Window shape extents" xwininfo -shape -id "$ball" || fail "X reports no shape for the ball"

echo "The window system knows the program by name and icon; only the ball is on the taskbar"
for window in "$ball" "$hoop" "$board"; do
  name=$(xprop -id "$window" WM_NAME)
  prints '"orvanta", "orvanta"' xprop -id "$window" WM_CLASS || fail "$name: no WM_CLASS orvanta"
  prints "Icon (64 x 64)" xprop -id "$window" _NET_WM_ICON || fail "$name: no 64-pixel icon"
done
! prints SKIP_TASKBAR xprop -id "$ball" _NET_WM_STATE || fail "the ball is kept off the taskbar"
for window in "$hoop" "$board"; do
  prints SKIP_TASKBAR xprop -id "$window" _NET_WM_STATE || fail "window $window is on the taskbar"
done
sleep 3 # let the ball settle near the floor
screenshot "$artefacts/3-game.png"

echo "The pointer over a cut-away corner misses the ball; over the ball it knocks it"
geometry "$ball"
left_before=$X
under=$(window_at $((X + 1)) $((Y + 1)))
[ "$under" != "$ball" ] || fail "the ball's cut-away corner still belongs to the ball"
sleep 0.3
geometry "$ball"
[ "$X" = "$left_before" ] || fail "a pointer over the corner moved the ball from $left_before to $X"
# Asking X which window is under the pointer would race the touch, which knocks the ball
# away at once: that the ball moves shows that the pointer reached it.
xdotool mousemove $((X + 16)) $((Y + 32))
for _ in $(seq 1 30); do
  geometry "$ball"
  [ "$X" -gt "$left_before" ] && break
  sleep 0.1
done
[ "$X" -gt "$left_before" ] || fail "a touch left of the centre did not knock the ball right"
xdotool mousemove 1000 20 # out of the way

echo "Escape asks whether to exit; No plays on"
xdotool key Escape
wait_window "Exit" 5 >/dev/null
xdotool key Return # No, the default
wait_gone "Exit"

echo "After a minute the playing windows go and the game-over message shows"
wait_window "Whats the score?" 70 >/dev/null
[ $((SECONDS - game_started)) -ge 59 ] || fail "the game ended after only $((SECONDS - game_started))s"
for name in Clock "Score Board" "Orvanta Basketball"; do
  ! xdotool search --onlyvisible --name "$(exactly "$name")" >/dev/null 2>&1 ||
    fail "'$name' is still visible at game over"
done
screenshot "$artefacts/4-game-over.png"
[ "$(grep -c bell "$artefacts/bells.txt")" = 10 ] ||
  fail "$(grep -c bell "$artefacts/bells.txt") bells before the game-over message, expected 10"
xdotool key Return

echo "The end screen shows, and Exit with Yes ends the game"
end=$(wait_window "The End" 5)
expect_geometry "$end" 255 209 424 216 "the end screen"
sleep 0.5
! xdotool search --onlyvisible --name "$(exactly Clock)" >/dev/null 2>&1 || fail "the ball shows after the game"
screenshot "$artefacts/5-end.png"
focus_window "$end" # the player's name box has the focus: read the three boxes
shown_name=$(copy_text_box)
xdotool key Tab
shown_seconds=$(copy_text_box)
xdotool key Tab
shown_baskets=$(copy_text_box)
xdotool mousemove $((255 + 200)) $((209 + 180)) click 1
wait_window "Exit" 5 >/dev/null
screenshot "$artefacts/6-exit.png"
xdotool key y
expect_exit 2 0
bells=$(grep -c bell "$artefacts/bells.txt")
[ "$bells" = 11 ] || fail "the game rang $bells bells, expected 11"

echo "The recording replays headless to what the desktop showed"
summary=$(replay_summary "$sim" "$artefacts/game.replay" "$artefacts/replay-trace.txt")
expect_summary "$summary" name "\"$shown_name\""
expect_summary "$summary" seconds "\"$shown_seconds\""
expect_summary "$summary" baskets "$shown_baskets"
expect_summary "$summary" beeps "$bells"
expect_summary "$summary" ended '"exit"'
moves=$(expect_ball_path "$artefacts/watch.txt" "$artefacts/replay-trace.txt")
echo "$moves places of the ball seen by X are the replay's"
echo "PASS"
