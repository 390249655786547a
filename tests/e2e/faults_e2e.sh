#!/usr/bin/env bash
# The X server dies during a game: the game ends within two seconds with one line on
# stderr and status 1, not a hang or a core dump.
# usage: faults_e2e.sh <orvanta binary> <artefacts folder>
set -euo pipefail
game=$1
artefacts=$2
source "$(dirname "$0")/x11.sh"
mkdir -p "$artefacts"
own_xvfb 1024x768

start_game "$game" 2>"$artefacts/stderr.txt"
wait_window "Orvanta Basketball" 8 >/dev/null
enter_game Ann 1
wait_window "Clock" 5 >/dev/null
sleep 1
kill -KILL "$xvfb_pid"
expect_exit 2 1
lines=$(grep -vc '^$' "$artefacts/stderr.txt" || true)
[ "$lines" = 1 ] || fail "the game said $lines lines on stderr: $(cat "$artefacts/stderr.txt")"
echo "PASS"
