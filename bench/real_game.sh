#!/usr/bin/env bash
# Measures the real game the way a player feels it, on a private Xvfb: tick fidelity of
# every timer, how often X sees the ball move, CPU and memory during play, start-up
# time, and the stall when a message box opens; then oneko, a classic shaped desktop
# toy, under the same server for the same time, as a peer. Prints a Markdown table.
# usage: bench/real_game.sh [build folder]   (run from the repository root)
set -euo pipefail
build=$(realpath "${1:-build}")
source "$(dirname "$0")/../scripts/lib.sh"
install_missing oneko xvfb xdotool x11-utils libx11-dev
source "$(dirname "$0")/../tests/e2e/x11.sh"
[ -x "$build/app/orvanta" ] && [ -x "$build/bench/x_watch" ] ||
  fail "build the game and bench/x_watch in $build first (scripts/test builds both)"
artefacts=$(mktemp -d)
own_xvfb 1024x768
hz=$(getconf CLK_TCK)

cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
peak_rss_kib() { awk '/VmHWM/ {print $2}' "/proc/$1/status"; }
now_ns() { date +%s%N; }

"$build/bench/x_watch" Clock >"$artefacts/watch.txt" &
cleanup_pids+=($!)
until grep -q '^ready' "$artefacts/watch.txt" 2>/dev/null; do sleep 0.05; done

# Start-up from exec to the loading screen mapped, with a cold page cache if allowed.
cache=warm
if sync && echo 3 >/proc/sys/vm/drop_caches 2>/dev/null; then cache=cold; fi
exec_ns=$(now_ns)
ORVANTA_TICK_STATS=1 start_game "$build/app/orvanta" 2>"$artefacts/stats.txt"
wait_window "Form Loading" 5 >/dev/null
map_ns=$(awk '$1 == "map" && $3 == "Form" && $4 == "Loading" {print $2; exit}' "$artefacts/watch.txt")
startup_ms=$(( (map_ns - exec_ns) / 1000000 ))

enter_game Bench 1
ball=$(wait_window "Clock" 5)
play_start_ns=$(now_ns)
cpu_start=$(cpu_ticks "$game_pid")

# Keep the ball flying: knock it from its lower left every two seconds; ask to exit once.
for round in $(seq 1 25); do
  sleep 2
  geometry "$ball"
  xdotool mousemove $((X + 16)) $((Y + 50)) sleep 0.05 mousemove 1000 20
  if [ "$round" = 10 ]; then
    xdotool key Escape
    wait_window "Exit" 5 >/dev/null
    sleep 0.5
    xdotool key Return
  fi
done
wait_window "Whats the score?" 70 >/dev/null
play_end_ns=$(now_ns)
cpu_end=$(cpu_ticks "$game_pid")
xdotool key Return
wait_window "The End" 5 >/dev/null
rss_kib=$(peak_rss_kib "$game_pid")
kill -TERM "$game_pid"
expect_exit 2 0

play_s=$(awk -v a="$play_start_ns" -v b="$play_end_ns" 'BEGIN {printf "%.1f", (b - a) / 1e9}')
cpu_pct=$(awk -v c=$((cpu_end - cpu_start)) -v hz="$hz" -v s="$play_s" 'BEGIN {printf "%.2f", 100 * c / hz / s}')
x_moves=$(awk -v a="$play_start_ns" -v b="$play_end_ns" '$1 == "move" && $2 >= a && $2 <= b' \
  "$artefacts/watch.txt" | wc -l)
game_moves=$(awk '$2 == "moves" && $3 == "clock" {print $4}' "$artefacts/stats.txt")

# The peer: oneko chasing a pointer that moves all the time, for as long as the game ran.
/usr/games/oneko >/dev/null 2>&1 &
oneko=$!
cleanup_pids+=("$oneko")
sleep 1
oneko_cpu_start=$(cpu_ticks "$oneko")
deadline=$(( $(date +%s) + ${play_s%.*} ))
angle=0
while [ "$(date +%s)" -lt "$deadline" ]; do
  angle=$(( (angle + 7) % 360 ))
  xdotool mousemove $(awk -v a=$angle 'BEGIN {printf "%d %d", 512 + 300 * cos(a / 57.3), 384 + 250 * sin(a / 57.3)}')
  sleep 0.1
done
oneko_cpu=$(( $(cpu_ticks "$oneko") - oneko_cpu_start ))
oneko_pct=$(awk -v c="$oneko_cpu" -v hz="$hz" -v s="$play_s" 'BEGIN {printf "%.2f", 100 * c / hz / s}')
oneko_rss_kib=$(peak_rss_kib "$oneko")
kill "$oneko"

echo "| Measure | orvanta | oneko |"
echo "|---|---|---|"
echo "| Play time measured | ${play_s} s | ${play_s} s |"
echo "| CPU during play (% of one core) | ${cpu_pct} | ${oneko_pct} |"
echo "| Peak resident memory | $((rss_kib / 1024)) MiB | $((oneko_rss_kib / 1024)) MiB |"
echo "| Start-up to the loading screen mapped (${cache} cache) | ${startup_ms} ms | |"
echo "| Ball positions seen by X per second | $(awk -v m="$x_moves" -v s="$play_s" 'BEGIN {printf "%.1f", m / s}') | |"
echo "| Position changes seen by X / asked by the game | ${x_moves} / ${game_moves} ($(awk -v x="$x_moves" -v g="$game_moves" 'BEGIN {printf "%.1f", g ? 100 * x / g : 0}') %) | |"
echo
echo "| Timer | Interval | Ticks | Nominal | Fidelity | p99 interval | Longest interval |"
echo "|---|---|---|---|---|---|---|"
awk '$2 == "timer" {
  for (i = 4; i <= NF; i++) { split($i, kv, "="); v[kv[1]] = kv[2] }
  printf "| %s | %s ms | %s | %s | %s | %s ms | %s ms |\n", $3, v["interval_ms"], v["ticks"], v["nominal"], v["fidelity"], v["p99_ms"], v["max_ms"]
}' "$artefacts/stats.txt"
rm -rf "$artefacts"
