#!/usr/bin/env bash
# Measures the real game the way a player feels it, on a private Xvfb, beside programs
# that set the floor on the same server in the same run: tick fidelity of every timer,
# how often X sees the ball move, the touch latency (pointer on the ball to the ball's
# window moving with its new speed), CPU during play against a plain Xlib program moving
# one window 100 times a second (in five alternating phases), start-up (to the first
# window mapped and to its first frame drawn, cold cache) against a bare frameless Qt
# window, peak memory; and oneko, a classic shaped desktop toy, for as long. Prints
# Markdown tables.
# usage: bench/real_game.sh [--load] [build folder]   (run from the repository root)
#   --load  keeps both cores busy with two other processes for the whole run
set -euo pipefail
load=no
if [ "${1:-}" = --load ]; then
  load=yes
  shift
fi
build=$(realpath "${1:-build}")
source "$(dirname "$0")/../scripts/lib.sh"
install_missing oneko xvfb xdotool x11-utils libx11-dev libxi-dev libxdamage-dev
source "$(dirname "$0")/../tests/e2e/x11.sh"
for program in app/orvanta bench/x_watch bench/xlib_mover bench/bare_window; do
  [ -x "$build/$program" ] || fail "build $program in $build first (scripts/test builds it)"
done
artefacts=$(mktemp -d)
own_xvfb 1024x768

# CPU time of all the threads of a process, in ns (the scheduler's own count, finer than
# the clock ticks of /proc/<pid>/stat). Past 2^31 mawk prints a number in e-notation and
# clamps %d: whole numbers that large are printed with %.0f.
cpu_ns() { cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{s += $1} END {printf "%.0f\n", s}'; }
peak_rss_kib() { awk '/VmHWM/ {print $2}' "/proc/$1/status"; }
now_ns() { date +%s%N; }
percent_of_core() { awk -v c="$1" -v a="$2" -v b="$3" 'BEGIN {printf "%.2f", 100 * c / (b - a)}'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.2f", b ? a / b : 0}'; }
median() { sort -n | awk '{v[NR] = $1} END {print v[int((NR + 1) / 2)]}'; }

if [ "$load" = yes ]; then
  for _ in 1 2; do
    bash -c 'while :; do :; done' &
    cleanup_pids+=($!)
  done
fi

watch_ball "$build/bench/x_watch"
grep -q 'no touches' "$artefacts/watch.txt" && echo "x_watch cannot see the pointer: no touch latency" >&2

# Start-up from exec to the first window mapped, and to its first frame drawn, with a cold
# page cache if allowed: the bare window and the game in turn, three times, so that both
# see the same machine.
cache=warm
drop_caches() { sync && echo 3 >/proc/sys/vm/drop_caches 2>/dev/null; }
drop_caches && cache=cold
stamp_after() { # kind, ns, window name: the first such stamp of that window after ns
  awk -v kind="$1" -v a="$2" -v name="$3" \
    '$1 == kind && $2 >= a && substr($0, index($0, $3)) == name {print $2; exit}' "$artefacts/watch.txt"
}
startup_ms() { # program, name of the window it maps first; prints "map frame" in ms
  local exec_ns map_ns frame_ns="" pid
  drop_caches || true
  exec_ns=$(now_ns)
  "$1" 2>/dev/null &
  pid=$!
  wait_window "$2" 10 >/dev/null
  for _ in $(seq 1 100); do
    frame_ns=$(stamp_after frame "$exec_ns" "$2")
    [ -n "$frame_ns" ] || [ "$frames" = no ] && break
    sleep 0.02
  done
  kill -TERM "$pid"
  wait "$pid" 2>/dev/null || true
  map_ns=$(stamp_after map "$exec_ns" "$2")
  echo "$(((map_ns - exec_ns) / 1000000)) $([ -n "$frame_ns" ] && echo $(((frame_ns - exec_ns) / 1000000)) || echo –)"
}
frames=yes
grep -q 'no frames' "$artefacts/watch.txt" && frames=no && echo "x_watch cannot see drawing: no first frames" >&2
for _ in 1 2 3; do
  startup_ms "$build/bench/bare_window" "Bare window" >>"$artefacts/bare_startup.txt"
  startup_ms "$build/app/orvanta" "Form Loading" >>"$artefacts/game_startup.txt"
done
bare_ms=$(cut -d' ' -f1 "$artefacts/bare_startup.txt" | median)
game_ms=$(cut -d' ' -f1 "$artefacts/game_startup.txt" | median)
bare_frame_ms=$(cut -d' ' -f2 "$artefacts/bare_startup.txt" | median)
game_frame_ms=$(cut -d' ' -f2 "$artefacts/game_startup.txt" | median)

ORVANTA_TICK_STATS=1 start_playing --name Bench --stderr "$artefacts/stats.txt" "$build/app/orvanta"
play_start_ns=$(now_ns)
cpu_start=$(cpu_ns "$game_pid")

# Keep the ball flying: knock it every second (xdotool finds where the ball is and puts
# the pointer there in one go), from its lower left and its lower right in turn, so that
# each touch changes the ball's step across; ask to exit once.
# Meanwhile the floor, in five phases of ten rounds: the game's CPU over five rounds, then
# bench/xlib_mover (plain Xlib moving one 64 x 64 window 100 times a second) beside it,
# measured over its last four once it is mapped and moving. The floor's own CPU moves by
# a factor of two between runs; within seconds of each other the two see the same machine.
for round in $(seq 1 50); do
  if [ $((round % 10)) = 1 ]; then
    phase_ns=$(now_ns)
    phase_cpu=$(cpu_ns "$game_pid")
  fi
  sleep 1
  xdotool mousemove --window "$ball" $((round % 2 ? 12 : 52)) 50 sleep 0.05 mousemove 1000 20
  if [ "$round" = 20 ]; then
    xdotool key Escape
    wait_window "Exit" 5 >/dev/null
    sleep 0.5
    xdotool key Return
  fi
  case $((round % 10)) in
    5)
      game_phase="$(($(cpu_ns "$game_pid") - phase_cpu)) $(($(now_ns) - phase_ns))"
      "$build/bench/xlib_mover" --rate 100 &
      mover=$!
      cleanup_pids+=("$mover")
      ;;
    6)
      phase_ns=$(now_ns)
      phase_cpu=$(cpu_ns "$mover")
      ;;
    0)
      echo "$game_phase $(($(cpu_ns "$mover") - phase_cpu)) $(($(now_ns) - phase_ns))" \
        >>"$artefacts/cpu_phases.txt"
      kill "$mover"
      wait "$mover" 2>/dev/null || true
      ;;
  esac
done
wait_window "Whats the score?" 70 >/dev/null
play_end_ns=$(now_ns)
cpu_end=$(cpu_ns "$game_pid")
xdotool key Return
wait_window "The End" 5 >/dev/null
rss_kib=$(peak_rss_kib "$game_pid")
kill -TERM "$game_pid"
expect_exit 2 0

play_s=$(awk -v a="$play_start_ns" -v b="$play_end_ns" 'BEGIN {printf "%.1f", (b - a) / 1e9}')
cpu_pct=$(percent_of_core $((cpu_end - cpu_start)) "$play_start_ns" "$play_end_ns")
x_moves=$(awk -v a="$play_start_ns" -v b="$play_end_ns" '$1 == "move" && $2 >= a && $2 <= b' \
  "$artefacts/watch.txt" | wc -l)
game_moves=$(awk '$2 == "moves" && $3 == "clock" {print $4}' "$artefacts/stats.txt")

# Touch latency: from the pointer landing on the ball to the first move of the ball whose
# step differs from the step before by more than gravity and rounding make it (3 px).
awk '
  $1 == "move" {
    if (have) { dx = $3 - x; dy = $4 - y }
    if (touched && stepped) {
      if ((dx - sx) ^ 2 >= 9 || (dy - sy) ^ 2 >= 9) { printf "%.2f\n", ($2 - touched) / 1e6; touched = 0 }
      else if ($2 - touched > 2e8) { print "none" >missed; touched = 0 } # not taken (a box was open?)
    }
    if (have) { sx = dx; sy = dy; stepped = 1 }
    x = $3; y = $4; have = 1
  }
  $1 == "touch" && !touched { touched = $2 }
' missed="$artefacts/touch_missed.txt" "$artefacts/watch.txt" | sort -n >"$artefacts/touch_ms.txt"
touches=$(wc -l <"$artefacts/touch_ms.txt")
untaken=0
[ -f "$artefacts/touch_missed.txt" ] && untaken=$(wc -l <"$artefacts/touch_missed.txt")
touch_at() { awk -v p="$1" '{v[NR] = $1} END {if (NR) print v[int(p * (NR - 1)) + 1]; else print "–"}' \
  "$artefacts/touch_ms.txt"; }

# Each phase as "game % floor % ratio", from its CPU ns and wall ns.
phases() {
  awk '{printf "%.3f %.3f %.3f\n", 100 * $1 / $2, 100 * $3 / $4, $3 ? ($1 / $2) / ($3 / $4) : 0}' \
    "$artefacts/cpu_phases.txt"
}
phase_median() { phases | cut -d' ' -f"$1" | median | awk '{printf "%.2f", $1}'; }
game_phase_pct=$(phase_median 1)
floor_phase_pct=$(phase_median 2)
cpu_ratio=$(phase_median 3)
cpu_ratio_spread=$(phases | cut -d' ' -f3 | sort -n | awk 'NR == 1 {low = $1} {high = $1} END {printf "%.2f–%.2f", low, high}')

# The peer: oneko chasing a pointer that moves all the time, for as long as the game ran.
/usr/games/oneko >/dev/null 2>&1 &
oneko=$!
cleanup_pids+=("$oneko")
sleep 1
oneko_start_ns=$(now_ns)
oneko_cpu_start=$(cpu_ns "$oneko")
circle_pointer_for "${play_s%.*}"
oneko_pct=$(percent_of_core $(($(cpu_ns "$oneko") - oneko_cpu_start)) "$oneko_start_ns" "$(now_ns)")
oneko_rss_kib=$(peak_rss_kib "$oneko")
kill "$oneko"

p99_10ms=$(awk '$2 == "timer" && / interval_ms=10 / {
  for (i = 4; i <= NF; i++) { split($i, kv, "="); v[kv[1]] = kv[2] }
  if (v["ticks"] > 100 && v["p99_ms"] > worst) worst = v["p99_ms"]
} END {print worst + 0}' "$artefacts/stats.txt")

echo "Both cores loaded by two other processes: $load. Load average at the end: $(cut -d' ' -f1-3 /proc/loadavg)."
echo
echo "| Figure | orvanta | floor | ratio |"
echo "|---|---|---|---|"
echo "| CPU during play, % of one core, medians of 5 alternating phases (floor: plain Xlib, 100 moves/s); the ratio is the median phase's, lowest–highest after it | ${game_phase_pct} | ${floor_phase_pct} | ${cpu_ratio}× (${cpu_ratio_spread}×) |"
echo "| Start-up to the first window mapped, median of 3, ${cache} cache (floor: bare frameless Qt window) | ${game_ms} ms | ${bare_ms} ms | $(ratio "$game_ms" "$bare_ms")× |"
echo "| Start-up to the first window's first frame drawn, the same starts | ${game_frame_ms} ms | ${bare_frame_ms} ms | $(ratio "$game_frame_ms" "$bare_frame_ms")× |"
echo "| Worst p99 interval of the 10 ms timers | ${p99_10ms} ms | 10 ms | |"
echo "| Touch latency, pointer on the ball to X moving it with its new speed: p50 / p99 / max (${touches} touches; ${untaken} more without a new speed within 200 ms) | $(touch_at 0.5) / $(touch_at 0.99) / $(touch_at 1) ms | | |"
echo "| Peak resident memory | $((rss_kib / 1024)) MiB | | |"
echo
# A bare > in a print list is a redirection to POSIX awk: the comparison is bracketed.
runs() { awk '{printf "%s%s/%s", (NR > 1) ? ", " : "", $1, $2}' "$1"; }
echo "Start-up runs, map/frame (ms): bare $(runs "$artefacts/bare_startup.txt"); game $(runs "$artefacts/game_startup.txt")."
echo "CPU phases, % of one core, game/floor (ratio): $(phases | awk '{printf "%s%.2f/%.2f (%.2f×)", (NR > 1) ? ", " : "", $1, $2, $3}')."
echo
echo "| Measure | orvanta | oneko |"
echo "|---|---|---|"
echo "| Play time measured | ${play_s} s | ${play_s} s |"
echo "| CPU during play (% of one core) | ${cpu_pct} | ${oneko_pct} |"
echo "| Peak resident memory | $((rss_kib / 1024)) MiB | $((oneko_rss_kib / 1024)) MiB |"
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
