#!/usr/bin/env bash
# What drawing the ball cut at the top edge costs: a recorded game whose ball flies some
# 600 pixels over the top of the screen and back twice (tests/e2e/ball_above.script),
# replayed in real windows on a private Xvfb by two builds in turn, say one from before
# the cut and one with it. The game's CPU over the whole replay (12 s, of which the ball
# spends about 4 s above the screen and 0.4 s crossing its edge). Prints a Markdown table.
# usage: bench/edge_cost.sh <build folder A> <build folder B> [rounds]
#        (run from the repository root; orvanta-sim is taken from B)
set -euo pipefail
builds=("$(realpath "$1")" "$(realpath "$2")")
rounds=${3:-5}
source "$(dirname "$0")/../scripts/lib.sh"
install_missing xvfb x11-utils
source "$(dirname "$0")/../tests/e2e/x11.sh"
for build in "${builds[@]}"; do
  [ -x "$build/app/orvanta" ] || fail "build the game in $build first"
done
artefacts=$(mktemp -d)
own_xvfb 1024x768
"${builds[1]}/tools/orvanta_sim/orvanta-sim" --script tests/e2e/ball_above.script \
  --until 12000 --record "$artefacts/game.replay" >/dev/null
median() { sort -n | awk '{v[NR] = $1} END {print v[int((NR + 1) / 2)]}'; }

# The CPU ms of one replay by the build $1.
replay_cpu_ms() {
  local stat
  start_game "$1/app/orvanta" --replay "$artefacts/game.replay"
  # Read while it exists: the replay ends the program itself after 12 s.
  while kill -0 "$game_pid" 2>/dev/null; do
    stat=$(cat /proc/"$game_pid"/task/*/schedstat 2>/dev/null | awk '{s += $1} END {printf "%.0f\n", s}')
    sleep 0.1
  done
  wait "$game_pid" || fail "the replay by $1 failed"
  echo $((stat / 1000000))
}

declare -A runs
for round in $(seq 1 "$rounds"); do
  for which in 0 1; do runs[$which]+="$(replay_cpu_ms "${builds[$which]}") "; done
  echo "round $round: ${runs[0]}| ${runs[1]}" >&2
done
echo "| build | CPU ms per replay, median of $rounds | all |"
echo "|---|---|---|"
for which in 0 1; do
  echo "| ${builds[$which]} | $(tr ' ' '\n' <<<"${runs[$which]}" | sed '/^$/d' | median) | ${runs[$which]}|"
done
