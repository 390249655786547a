#!/usr/bin/env bash
# The same game on Linux and on Windows: orvanta-sim and orvanta-sim.exe (under Wine) print
# byte-identical summaries and traces for a few games (a ten-minute one, a short screen, a
# scripted one, a replay), bad input gets the same one-line messages, and a recording made
# by either replays on the other to the same trace.
# usage: same_game.sh <orvanta-sim> <orvanta-sim.exe> <wine-run> <artefacts folder>
set -euo pipefail
linux=$(realpath "$1") windows=$(realpath "$2") wine_run=$(realpath "$3") artefacts=$4
script=$(realpath "$(dirname "$0")/../e2e/ball_above.script")
mkdir -p "$artefacts"
cd "$artefacts"

fail() { echo "FAIL: $*" >&2; exit 1; }

# Runs both with the same arguments; their output (and status) must be the same bytes.
same() {
  local name=$1 linux_status=0 windows_status=0
  shift
  "$linux" "$@" >"$name.linux" 2>"$name.linux.err" || linux_status=$?
  "$wine_run" "$windows" "$@" >"$name.windows" 2>"$name.windows.err" || windows_status=$?
  [ "$linux_status" = "$windows_status" ] ||
    fail "$name: status $linux_status on Linux, $windows_status on Windows"
  cmp -s "$name.linux" "$name.windows" ||
    fail "$name: the outputs differ: $(cmp "$name.linux" "$name.windows" 2>&1)"
  cmp -s "$name.linux.err" "$name.windows.err" ||
    fail "$name: the messages differ: $(head -c 300 "$name.windows.err")"
  echo "  $name: $(wc -c <"$name.linux") bytes alike"
}

echo "Scripted games: the summary and every tick"
same one-minute --trace
same ten-minutes --minutes 10 --trace
same short-screen --screen 640x400 --name Zoë --trace
same scripted --trace --script "$script"
same bad-option --minutes 11
echo "Bad input: the same one line, a path beyond ASCII shown as it is"
printf 'orvanta-replay 1 screen 1024x768 program 1.0.0\n10 tick nowhere Timer1\n' >"Zoë's.replay"
same bad-replay --replay "Zoë's.replay"
same missing-replay --replay "Ørjan.replay"

echo "A recording made by either replays on the other to the same trace"
"$linux" --minutes 2 --name Ann --record linux.replay >/dev/null
"$wine_run" "$windows" --minutes 2 --name Ann --record windows.replay >/dev/null
cmp -s linux.replay windows.replay || fail "the two recordings differ"
same replay-of-linux --replay linux.replay --trace
same replay-of-windows --replay windows.replay --trace
echo "PASS"
