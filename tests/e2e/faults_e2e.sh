#!/usr/bin/env bash
# With no X server, and when the X server dies during a game, the game ends within two
# seconds with one line on stderr and status 1, not a hang or a core dump.
# usage: faults_e2e.sh <orvanta binary> <artefacts folder>
set -euo pipefail
game=$1
artefacts=$2
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

echo "The X server killed during a game"
own_xvfb 1024x768

start_game "$game" 2>"$artefacts/stderr.txt"
wait_window "Orvanta Basketball" 8 >/dev/null
enter_game Ann 1
wait_window "Clock" 5 >/dev/null
sleep 1
kill -KILL "$xvfb_pid"
expect_exit 2 1
expect_one_line "$artefacts/stderr.txt"
echo "PASS"
