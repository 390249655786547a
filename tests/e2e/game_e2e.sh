#!/usr/bin/env bash
# The built game on a real X server, driven only as a player would, with xdotool:
# loading screen, entry screen, a one-minute game, the ball's shape and touch, the end
# screen, Exit. Screenshots of each screen go to the artefacts folder.
# usage: game_e2e.sh <orvanta binary> <artefacts folder>
set -euo pipefail
game=$1
artefacts=$2
here=$(dirname "$0")
source "$here/x11.sh"
mkdir -p "$artefacts"
[ -n "${DISPLAY:-}" ] || fail "no DISPLAY: run this under the test script's Xvfb"

"$game" &
pid=$!
trap 'kill "$pid" 2>/dev/null || true' EXIT

echo "The loading screen opens centred, and hands over after 4.5 s"
loading=$(wait_window "Form Loading" 5)
expect_geometry "$loading" 347 275 330 218 "the loading screen"
screenshot "$artefacts/1-loading.png"
entry=$(wait_window "Orvanta Basketball" 8)
wait_gone "Form Loading"
geometry "$entry"
screenshot "$artefacts/2-entry.png"

echo "A name is typed, a length picked, and Continue starts the game"
# With no window manager the keyboard follows the pointer: put it on the window.
xdotool mousemove $((X + 40)) $((Y + 40))
xdotool windowfocus --sync "$entry"
xdotool key --clearmodifiers alt+p
xdotool type --delay 20 "Ann"
xdotool key --clearmodifiers alt+m
xdotool key Down
xdotool mousemove $((X + 360)) $((Y + 308)) click 1
box=$(wait_window "Game Play" 5)
xdotool key Return
ball=$(wait_window "Clock" 5)
game_started=$SECONDS
hoop=$(wait_window "Orvanta Basketball" 2)
board=$(wait_window "Score Board" 2)

echo "Hoop and board stand where they belong; the ball is cut to its shape"
expect_geometry "$hoop" 408 128 209 113 "the hoop"
expect_geometry "$board" 0 679 281 89 "the score board"
geometry "$ball"
[ "$WIDTH $HEIGHT" = "64 64" ] || fail "the ball window is ${WIDTH}x$HEIGHT"
[ "$X" = 479 ] || fail "the ball window starts at x $X, expected 479"
xwininfo -shape -id "$ball" | grep -q "Window shape extents" || fail "X reports no shape for the ball"
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
under=$(window_at $((X + 16)) $((Y + 32)))
[ "$under" = "$ball" ] || fail "the middle of the ball is not the ball's"
sleep 0.3
geometry "$ball"
[ "$X" -gt "$left_before" ] || fail "a touch left of the centre did not knock the ball right"
xdotool mousemove 1000 20 # out of the way

echo "After a minute the playing windows go and the game-over message shows"
wait_window "Whats the score?" 70 >/dev/null
[ $((SECONDS - game_started)) -ge 59 ] || fail "the game ended after only $((SECONDS - game_started))s"
for name in Clock "Score Board" "Orvanta Basketball"; do
  ! xdotool search --onlyvisible --name "$(exactly "$name")" >/dev/null 2>&1 ||
    fail "'$name' is still visible at game over"
done
screenshot "$artefacts/4-game-over.png"
xdotool key Return

echo "The end screen shows, and Exit with Yes ends the game"
end=$(wait_window "The End" 5)
expect_geometry "$end" 255 209 424 216 "the end screen"
sleep 0.5
! xdotool search --onlyvisible --name "$(exactly Clock)" >/dev/null 2>&1 || fail "the ball shows after the game"
screenshot "$artefacts/5-end.png"
xdotool mousemove $((255 + 200)) $((209 + 180)) click 1
wait_window "Exit" 5 >/dev/null
screenshot "$artefacts/6-exit.png"
xdotool key y
for _ in $(seq 1 40); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.05
done
kill -0 "$pid" 2>/dev/null && fail "the game is still running after Exit and Yes"
trap - EXIT
wait "$pid" && status=0 || status=$?
[ "$status" = 0 ] || fail "the game ended with status $status"
echo "PASS"
