#!/usr/bin/env bash
# What recording costs the real game: whole one-minute games on a private Xvfb, played
# alike (a touch on the ball every two seconds), in turn not recorded (--no-keep), kept
# (as every desktop game is, compressed at its end) and recorded with --record; the
# game's CPU from the start of play to the game-over message, and the files' sizes.
# Prints a Markdown table.
# usage: bench/record_cost.sh [build folder] [rounds]   (run from the repository root)
set -euo pipefail
build=$(realpath "${1:-build}")
rounds=${2:-2}
source "$(dirname "$0")/../scripts/lib.sh"
install_missing xvfb xdotool x11-utils
source "$(dirname "$0")/../tests/e2e/x11.sh"
[ -x "$build/app/orvanta" ] || fail "build the game in $build first"
artefacts=$(mktemp -d)
own_xvfb 1024x768
hz=$(getconf CLK_TCK)
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }

# Plays one game; prints "<cpu %> <play s>".
play() {
  start_playing --name Bench "$build/app/orvanta" "$@"
  local start_ns cpu_start end_ns cpu_end
  start_ns=$(date +%s%N)
  cpu_start=$(cpu_ticks "$game_pid")
  for _ in $(seq 1 25); do
    sleep 2
    geometry "$ball"
    xdotool mousemove $((X + 16)) $((Y + 50)) sleep 0.05 mousemove 1000 20
  done
  wait_window "Whats the score?" 70 >/dev/null
  end_ns=$(date +%s%N)
  cpu_end=$(cpu_ticks "$game_pid")
  kill -TERM "$game_pid"
  expect_exit 2 0
  awk -v c=$((cpu_end - cpu_start)) -v hz="$hz" -v ns=$((end_ns - start_ns)) \
    'BEGIN {printf "%.2f %.1f\n", 100 * c / hz / (ns / 1e9), ns / 1e9}'
}

echo "| Round | Not kept: CPU % of one core | Kept: CPU % | --record: CPU % | --record: file, lines | Kept: file |"
echo "|---|---|---|---|---|---|"
for round in $(seq 1 "$rounds"); do
  read -r plain _ < <(play --no-keep)
  read -r kept _ < <(play)
  read -r recorded seconds < <(play --record "$artefacts/game.replay")
  size=$(stat -c %s "$artefacts/game.replay")
  lines=$(wc -l <"$artefacts/game.replay")
  kept_size=$(stat -c %s "$(ls -t "$XDG_DATA_HOME"/orvanta/*.replay.gz | head -n 1)")
  echo "| $round | $plain | $kept | $recorded | $((size / 1024)) KiB, $lines lines in ${seconds} s of play | $((kept_size / 1024)) KiB |"
done
rm -rf "$artefacts"
