#!/usr/bin/env bash
# A ten-minute game of orvanta-sim under valgrind's memcheck: no memory error, no leak,
# and the game runs to its end. Skipped (77) where valgrind is missing.
# usage: sim_memcheck.sh <orvanta-sim binary> <artefacts folder>
set -euo pipefail
sim=$1
artefacts=$2
command -v valgrind >/dev/null || { echo "valgrind is not installed: skipped"; exit 77; }
mkdir -p "$artefacts"
log="$artefacts/valgrind.log"
out="$artefacts/output.json"

status=0
valgrind --leak-check=full --errors-for-leak-kinds=definite,indirect --error-exitcode=1 \
  --suppressions="$(dirname "$0")/qt_at_exit.supp" --log-file="$log" \
  "$sim" --minutes 10 >"$out" || status=$?
sed -n '/HEAP SUMMARY/,$p' "$log" | sed 's/^==[0-9]*== //'
if [ "$status" -ne 0 ]; then
  echo "FAIL: valgrind or the game exited with status $status; the full log is $log"
  cat "$log"
  exit 1
fi
last=$(tail -n 1 "$out")
echo "$last"
case "$last" in
  *'"ended":"gameover"'*) ;;
  *) echo 'FAIL: the last line does not say "ended":"gameover"'; exit 1 ;;
esac
