#!/usr/bin/env bash
# Awkward names through the real name box: a huge paste, emoji, right-to-left text,
# combining marks, control characters, only spaces. Each is kept exactly (cut at ten
# characters); one of them plays a game, is named by the Escape question and comes back
# on the end screen. Then SIGINT ends the game cleanly. Recorded, the game replays
# headless with every name typed kept exactly.
# usage: names_e2e.sh <orvanta binary> <clipboard tool> <orvanta-sim> <artefacts folder>
set -euo pipefail
source "$(dirname "$0")/x11.sh"
arguments game clipboard_tool sim artefacts -- "$@"
own_xvfb 1024x768

expect_kept() { # pasted, expected, what
  paste_into_text_box "$1"
  local kept
  kept=$(copy_text_box)
  [ "$kept" = "$2" ] || fail "the name box turned $3 into '$kept', expected '$2'"
}
# Each awkward name into the name box, the last kept there to play with.
name=$'Zo\u00eb\u0301\U0001F3C0\u05e9\u05dc\u05d5'
awkward_names() {
  entry=$(wait_window "Orvanta Basketball" 8)
  focus_window "$entry"
  xdotool key --clearmodifiers alt+p
  expect_kept "$(head -c 10000 /dev/zero | tr '\0' 'x')" xxxxxxxxxx "a paste of 10,000 characters"
  expect_kept $'\U0001F3C0 Ann \U0001F3C0' $'\U0001F3C0 Ann \U0001F3C0' "emoji"
  expect_kept $'\u05e9\u05dc\u05d5\u05dd \u05e2\u05d5\u05dc\u05dd' \
    $'\u05e9\u05dc\u05d5\u05dd \u05e2\u05d5\u05dc\u05dd' "right-to-left text"
  expect_kept $'Zoe\u0308 e\u0301\u0301' $'Zoe\u0308 e\u0301\u0301' "combining marks"
  expect_kept $'A\tB\001C' $'A\tB\001C' "control characters"
  expect_kept "   " "   " "only spaces"
  expect_kept $'Ann \U0001F3C0\U0001F3C0\U0001F3C0\U0001F3C0' $'Ann \U0001F3C0\U0001F3C0\U0001F3C0' \
    "emoji past the tenth character"
  paste_into_text_box "$name"
  screenshot "$artefacts/names-entry.png"
}
start_playing --name '' --on-the-way awkward_names "$game" --record "$artefacts/names.replay"

sleep 1 # the cool-down's first tick gives the ball the keyboard
xdotool key Escape
wait_window "Exit" 5 >/dev/null
screenshot "$artefacts/names-escape.png"
xdotool key Return # No, the default
wait_gone "Exit"
kill -0 "$game_pid" || fail "the game ended after No"
screenshot "$artefacts/names-board.png"

wait_window "Whats the score?" 70 >/dev/null
xdotool key Return
end=$(wait_window "The End" 5)
focus_window "$end"
shown=$(copy_text_box)
[ "$shown" = "$name" ] || fail "the end screen shows the name as '$shown', expected '$name'"
screenshot "$artefacts/names-end.png"

kill -INT "$game_pid"
expect_exit 2 0
summary=$(replay_summary "$sim" "$artefacts/names.replay" "$artefacts/replay-trace.txt")
expect_summary "$summary" name "\"$name\""
expect_summary "$summary" ended '"signal"'
echo "PASS"
