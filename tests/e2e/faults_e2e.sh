#!/usr/bin/env bash
# With no X server, and when the X server dies during a game, the game ends within two
# seconds with one line on stderr and status 1, not a hang or a core dump. The game cut
# short by the X server's death replays up to the last line its recording has; shown in
# real windows, that replay takes no input but Escape, which ends it at once.
# usage: faults_e2e.sh <orvanta binary> <x_watch> <orvanta-sim> <artefacts folder>
set -euo pipefail
game=$1
x_watch=$2
sim=$3
artefacts=$4
source "$(dirname "$0")/x11.sh"
mkdir -p "$artefacts"

expect_one_line() {
  local lines
  lines=$(grep -vc '^$' "$1" || true)
  [ "$lines" = 1 ] || fail "the game said $lines lines on stderr: $(cat "$1")"
}

echo "No X server at all"
missing=1000
while [ -e "/tmp/.X11-unix/X$missing" ]; do missing=$((missing + 1)); done
DISPLAY=":$missing" start_game "$game" 2>"$artefacts/no-server.txt"
expect_exit 2 1
expect_one_line "$artefacts/no-server.txt"
env -u DISPLAY "$game" 2>"$artefacts/no-display.txt" && fail "the game ran with no DISPLAY"
expect_one_line "$artefacts/no-display.txt"

echo "A file that is not a replay is refused before anything shows"
status=0
"$game" --replay "$artefacts/no-display.txt" 2>"$artefacts/bad-replay.txt" || status=$?
[ "$status" = 2 ] || fail "a bad replay ended with status $status, expected 2"
expect_one_line "$artefacts/bad-replay.txt"
grep -q "^orvanta: $artefacts/no-display.txt: line 1: not a replay" "$artefacts/bad-replay.txt" ||
  fail "a bad replay said: $(cat "$artefacts/bad-replay.txt")"

echo "The X server killed during a game"
own_xvfb 1024x768

"$x_watch" Clock >"$artefacts/watch.txt" 2>/dev/null &
cleanup_pids+=($!)
until grep -q '^ready' "$artefacts/watch.txt" 2>/dev/null; do sleep 0.05; done
start_game "$game" --record "$artefacts/cut.replay" 2>"$artefacts/stderr.txt"
wait_window "Orvanta Basketball" 8 >/dev/null
enter_game Ann 1
wait_window "Clock" 5 >/dev/null
sleep 1
kill -KILL "$xvfb_pid"
expect_exit 2 1
expect_one_line "$artefacts/stderr.txt"

echo "The recording cut short by the X server's death replays up to its last line"
summary=$(replay_summary "$sim" "$artefacts/cut.replay" "$artefacts/replay-trace.txt")
expect_summary "$summary" name '"Ann"'
expect_summary "$summary" ended '"cut"'
moves=$(expect_ball_path "$artefacts/watch.txt" "$artefacts/replay-trace.txt")
echo "$moves places of the ball seen by X are the replay's"

echo "Shown in real windows, the replay takes no input but Escape"
own_xvfb 1024x768
start_game "$game" --replay "$artefacts/cut.replay"
ball=$(wait_window "Clock" 10)
sleep 0.3
geometry "$ball"
xdotool mousemove $((X + 32)) $((Y + 32)) click 1 # a click on the ball would end a game
sleep 0.3
kill -0 "$game_pid" 2>/dev/null || fail "a click ended the replay"
xdotool key Escape
expect_exit 2 0
echo "PASS"
