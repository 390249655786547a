#!/usr/bin/env bash
# A game on a desktop with a panel, under a real window manager: a dock along the bottom,
# then one along the top, reserves its strip. The game's screen is what the panel leaves
# free: the board docks on the bottom panel's top edge, the hoop hangs from the work
# area's top, and the lowest place X gives the ball is the floor of the game's own replay,
# the panel's top edge less the ball. When the panel goes mid-game, the windows follow.
# usage: panel_e2e.sh <mutter|xfwm4|kwin_x11> <orvanta binary> <panel> <window_track>
#                     <orvanta-sim> <artefacts folder>
set -euo pipefail
source "$(dirname "$0")/x11.sh"
source "$(dirname "$0")/desktops.sh"
arguments manager game panel window_track sim artefacts -- "$@"
own_window_manager "$manager" 1024x768

# Waits until the window manager publishes the work area $1 ("x, y, width, height").
expect_work_area() {
  local deadline=$((SECONDS + 5)) published
  while :; do
    published=$(xprop -root _NET_WORKAREA 2>/dev/null | sed -n 's/.*= //p' | cut -d, -f1-4)
    [ "$published" = "$1" ] && return 0
    [ $SECONDS -le $deadline ] || fail "the work area is '$published', expected '$1'"
    sleep 0.1
  done
}

# Starts a panel along edge $1, $2 pixels high; its pid is in $panel_pid.
start_panel() {
  local said="$artefacts/panel-$1.txt"
  rm -f "$said" # not an earlier panel's word: the new one opens the file only in a moment
  "$panel" "$1" "$2" >"$said" &
  panel_pid=$!
  cleanup_pids+=("$panel_pid")
  local deadline=$((SECONDS + 5))
  until grep -q ready "$said" 2>/dev/null || [ $SECONDS -gt $deadline ]; do sleep 0.05; done
  grep -q ready "$said" || fail "the panel did not map"
}

# The largest y of the ball in the replay's trace $1, in the model's pixels, after the
# physics ticks: a move tick may take it below the floor, but the physics tick of the same
# round puts it back before X sees it.
lowest_in_trace() {
  awk 'match($0, /"h":"clock\.Timer3".*"y":-?[0-9]+/) {
         y = substr($0, RSTART, RLENGTH); sub(/.*"y":/, "", y)
         if (!seen || y + 0 > lowest) lowest = y + 0; seen = 1
       }
       END { if (seen) print lowest }' "$1"
}

# One game with a panel along edge $1, $2 pixels high, that goes away during the game.
play_beside_panel() {
  local side=$1 size=$2 top=0 bottom=768
  [ "$side" = top ] && top=$size
  [ "$side" = bottom ] && bottom=$((768 - size))
  echo "A ${size}-pixel panel along the $side: the game's screen is the rest"
  start_panel "$side" "$size"
  expect_work_area "0, $top, 1024, $((bottom - top))"
  start_playing "$game" --record "$artefacts/$side.replay"
  "$window_track" "$ball" 4 >"$artefacts/$side-ball.txt" &
  local tracker=$!
  expect_place "$board" 0 $((bottom - 89)) "the score board"
  expect_place "$hoop" 408 $((top + 128)) "the hoop"
  screenshot "$artefacts/$side.png"
  wait "$tracker" || fail "the ball's window could not be followed"
  # The game so far, up to its last recorded event (the file ends in zero bytes).
  local with_panel_ms
  with_panel_ms=$(tr -d '\0' <"$artefacts/$side.replay" | tail -n 1 | cut -d' ' -f1)

  echo "The panel goes: the work area is the whole screen, and the windows follow its corner"
  kill "$panel_pid"
  expect_work_area "0, 0, 1024, 768"
  expect_place "$hoop" 408 128 "the hoop"
  kill -TERM "$game_pid"
  expect_exit 3 0

  echo "The lowest the ball went on the screen is the replay's floor: the panel's top edge"
  "$sim" --replay "$artefacts/$side.replay" --trace --until "$with_panel_ms" \
    >"$artefacts/$side.trace" || fail "orvanta-sim cannot replay $artefacts/$side.replay"
  local seen in_game
  seen=$(sort -n -k2 "$artefacts/$side-ball.txt" | tail -n 1 | cut -d' ' -f2)
  in_game=$(lowest_in_trace "$artefacts/$side.trace")
  [ -n "$seen" ] && [ -n "$in_game" ] || fail "no ball positions to compare"
  [ "$seen" = $((top + in_game)) ] ||
    fail "X put the ball no lower than y $seen; the game had it down to $((top + in_game))"
  [ "$seen" = $((bottom - 64)) ] || fail "the ball's floor is y $seen, not $((bottom - 64))"
}

play_beside_panel bottom 44
play_beside_panel top 30
echo "PASS"
