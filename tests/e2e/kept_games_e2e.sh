#!/usr/bin/env bash
# Games kept in the player's data folder: two games played on the desktop are both listed
# by --games, best first, with the baskets their replays count; --replay best shows the
# best; a replay the player unpacks stays listed; a game killed mid-play is filed as cut
# at the next start, with the seconds its recording reaches; listing creates nothing and
# says when its output fails; a folder that cannot be written costs one line, and the
# game plays unkept; a game that loses its X server is filed as it ends.
# usage: kept_games_e2e.sh <orvanta binary> <orvanta-sim> <artefacts folder>
set -euo pipefail
source "$(dirname "$0")/x11.sh"
arguments game sim artefacts -- "$@"
artefacts=$(realpath "$artefacts")
own_xvfb 1024x768
kept=$XDG_DATA_HOME/orvanta

# Plays a game as $1 for $2 seconds, then leaves it with Escape and Yes.
play_and_leave() {
  start_playing --name "$1" --stderr "$artefacts/$1.txt" "$game"
  sleep "$2"
  xdotool key Escape
  wait_window "Exit" 5 >/dev/null
  xdotool key y
  expect_exit 10 0
  [ ! -s "$artefacts/$1.txt" ] || fail "$1's game said: $(cat "$artefacts/$1.txt")"
}

# The field $2 of the JSON object on line $1 of --games --json (one object a line).
field() {
  sed -n "$(($1 + 1))p" "$artefacts/games.json" | sed -E "s/.*\"$2\": *(\"[^\"]*\"|[0-9-]+).*/\\1/"
}

echo "Two games, each kept at its end; the entry screen left at once keeps nothing"
play_and_leave Ann 3
play_and_leave Bea 2
start_game "$game"
wait_window "Orvanta Basketball" 8 >/dev/null
kill -TERM "$game_pid"
expect_exit 10 0
ls "$kept"/*.replay 2>/dev/null && fail "a recording is left of a game never started"

echo "--games lists both, best first; --json the same"
"$game" --games >"$artefacts/games.txt"
"$game" --games --json >"$artefacts/games.json"
cat "$artefacts/games.txt"
[ "$(grep -c finished "$artefacts/games.txt")" = 2 ] || fail "two finished games expected"
[ "$(field 1 player)" = '"Bea"' ] || fail "the best of two games without a basket is the later"
[ "$(field 2 player)" = '"Ann"' ] || fail "Ann's game is not second"
for rank in 1 2; do
  replay=$(field "$rank" replay | tr -d '"')
  [ -f "$replay" ] || fail "game $rank's replay $replay is not there"
  [ "$(head -c 2 "$replay" | od -An -tx1 | tr -d ' ')" = 1f8b ] || fail "$replay is not compressed"
  summary=$(replay_summary "$sim" "$replay" "$artefacts/replay-$rank.txt")
  expect_summary "$summary" baskets "$(field "$rank" baskets)"
  expect_summary "$summary" name "$(field "$rank" player)"
  expect_summary "$summary" ended '"exit"'
done

echo "A kept replay the player unpacks (gunzip) stays the game's replay"
ann_replay=$(field 2 replay | tr -d '"')
gunzip "$ann_replay"
"$game" --games >"$artefacts/games-unpacked.txt"
[ "$(grep -c finished "$artefacts/games-unpacked.txt")" = 2 ] ||
  fail "a game was lost when its replay was unpacked: $(cat "$artefacts/games-unpacked.txt")"
[ -f "${ann_replay%.gz}" ] || fail "the unpacked replay ${ann_replay%.gz} was removed"

echo "Listing creates nothing, and a failed output is one line and status 1"
XDG_DATA_HOME=$artefacts/none ends_at_once 0 "rank" "" "$game" --games
XDG_DATA_HOME=$artefacts/none ends_at_once 2 "" "there is no kept game best: no game is kept yet" \
  "$game" --replay best
[ ! -e "$artefacts/none" ] || fail "reading the kept games made $artefacts/none"
status=0
"$game" --games >/dev/full 2>"$artefacts/full.txt" || status=$?
[ "$status" = 1 ] || fail "--games >/dev/full ended with status $status"
expect_one_line "$artefacts/full.txt"
grep -q "^orvanta: cannot write the list of kept games: No space left on device" \
  "$artefacts/full.txt" || fail "--games >/dev/full said: $(cat "$artefacts/full.txt")"

echo "--replay best shows Bea's game in real windows, to its end"
start_game "$game" --replay best
wait_window "Clock" 15 >/dev/null
expect_exit 30 0
ends_at_once 2 "" "there is no kept game best:3" "$game" --replay best:3
expect_one_line "$artefacts/case-$case_number.err"

echo "Kept-game options that do not go together are refused"
ends_at_once 2 "" "--json goes only with --games" "$game" --json
ends_at_once 2 "" "--games lists the kept games and takes no other option" "$game" --games --no-keep
ends_at_once 2 "" '"best:x" names no kept game' "$game" --replay best:x
ends_at_once 0 "[" "" "$game" --games --json

echo "A game killed mid-play is filed as cut at the next start, with the seconds it played"
start_playing --name Cid "$game"
sleep 3
kill -KILL "$game_pid"
"$game" --games >"$artefacts/games-after-kill.txt"
grep -q "Cid.*cut" "$artefacts/games-after-kill.txt" ||
  fail "the killed game is not listed as cut: $(cat "$artefacts/games-after-kill.txt")"
cid_seconds=$("$game" --games --json | grep '"Cid"' | sed -E 's/.*"seconds": ([0-9]+).*/\1/')
[ "$cid_seconds" -ge 1 ] || fail "the killed game is filed with $cid_seconds seconds played"

echo "A data folder that cannot be made: one line, and the game plays unkept"
touch "$artefacts/not-a-folder"
XDG_DATA_HOME=$artefacts/not-a-folder start_game "$game" 2>"$artefacts/unkept.txt"
wait_window "Orvanta Basketball" 8 >/dev/null
kill -TERM "$game_pid"
expect_exit 10 0
expect_one_line "$artefacts/unkept.txt"
grep -q "^orvanta: this game is not kept: cannot keep games in .*not-a-folder/orvanta: " \
  "$artefacts/unkept.txt" || fail "the game said: $(cat "$artefacts/unkept.txt")"
echo "A game whose X server goes is filed on the way out, not left to the next start"
start_playing --name Dee --stderr "$artefacts/dee.txt" "$game"
sleep 1
kill "$xvfb_pid"
expect_exit 10 1
"$game" --games >"$artefacts/games-after-x.txt"
grep -q "Dee.*finished" "$artefacts/games-after-x.txt" ||
  fail "the game that lost its display is not filed: $(cat "$artefacts/games-after-x.txt")"
echo "PASS"
