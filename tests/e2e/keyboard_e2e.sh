#!/usr/bin/env bash
# The entry screen played from the keyboard on the real game: Return on the focused
# Continue asks for the name, Tab moves on to Exit, Space there asks the exit question,
# whose own default button (No) answers Return; y then ends the game.
# usage: keyboard_e2e.sh <orvanta binary> <artefacts folder>
set -euo pipefail
source "$(dirname "$0")/x11.sh"
arguments game artefacts -- "$@"
own_xvfb 1024x768
start_game "$game"

entry=$(wait_window "Orvanta Basketball" 8)
wait_gone "Form Loading" 8

echo "Return on Continue, focused when the screen opens, asks for the name"
focus_window "$entry"
xdotool key Return
wait_window "Name please!" 5 >/dev/null
screenshot "$artefacts/1-name-please.png"
xdotool key Return
wait_gone "Name please!"

echo "Tab twice reaches Exit past the name box; Space on it asks the exit question"
focus_window "$entry"
xdotool key Tab Tab
xdotool key space
wait_window "Exit" 5 >/dev/null
screenshot "$artefacts/2-exit-question.png"

echo "Return on the question answers its default, No: the game goes on"
xdotool key Return
wait_gone "Exit"
kill -0 "$game_pid" 2>/dev/null || fail "the game ended on Return at the exit question"
wait_window "Orvanta Basketball" 1 >/dev/null

echo "Space on Exit again, and y, ends the game"
focus_window "$entry"
xdotool key space
wait_window "Exit" 5 >/dev/null
xdotool key y
expect_exit 3 0
echo "PASS"
