#!/usr/bin/env bash
# What the desktop pays for the game: in one run under GNOME's window manager (mutter, on
# a private Xvfb), the CPU of the game, the window manager and the X server during play;
# then the same for oneko chasing a moving pointer, and for a plain Xlib window moved 100
# times a second (managed, then override-redirect), each for as long. Also counts what
# happens to the moving window: position changes, restacks and property changes.
# Prints Markdown tables.
# usage: bench/desktop_cost.sh [build folder] [seconds per phase]   (from the repository root)
set -euo pipefail
build=$(realpath "${1:-build}")
seconds=${2:-20}
source "$(dirname "$0")/../scripts/lib.sh"
install_missing oneko xvfb xdotool x11-utils libx11-dev mutter dbus
source "$(dirname "$0")/../tests/e2e/x11.sh"
source "$(dirname "$0")/../tests/e2e/desktops.sh"
for tool in app/orvanta bench/xlib_mover bench/x_window_events; do
  [ -x "$build/$tool" ] || fail "build $tool in $build first (scripts/test builds it)"
done
work=$(mktemp -d)
own_window_manager mutter 1024x768
manager_pid=$session_program_pid
hz=$(getconf CLK_TCK)

cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
percent() { awk -v c="$1" -v hz="$hz" -v s="$2" 'BEGIN {printf "%.1f", 100 * c / hz / s}'; }
now() { date +%s.%N; }

# Measures, from now until `end_phase`, the CPU of process $1 (if any), mutter and Xvfb.
begin_phase() {
  subject_pid=${1:-}
  [ -n "$subject_pid" ] && subject_start=$(cpu_ticks "$subject_pid")
  manager_start=$(cpu_ticks "$manager_pid")
  server_start=$(cpu_ticks "$xvfb_pid")
  phase_start=$(now)
}
# Prints a table row: name, then the three figures in % of a core, then the event counts.
end_phase() {
  local name=$1 events=$2 elapsed subject=""
  elapsed=$(awk -v a="$phase_start" -v b="$(now)" 'BEGIN {print b - a}')
  [ -n "$subject_pid" ] && subject=$(percent $(($(cpu_ticks "$subject_pid") - subject_start)) "$elapsed")
  local manager server
  manager=$(percent $(($(cpu_ticks "$manager_pid") - manager_start)) "$elapsed")
  server=$(percent $(($(cpu_ticks "$xvfb_pid") - server_start)) "$elapsed")
  rows+=("| $name | ${subject:--} | $manager | $server | $(summary "$events" "$elapsed") |")
}

# Watches window $1's moves, restacks and property changes into file $2.
watch_window() {
  "$build/bench/x_window_events" "$1" >"$2" &
  watcher_pid=$!
  cleanup_pids+=("$watcher_pid")
  until grep -q '^ready' "$2" 2>/dev/null; do sleep 0.05; done
}
stop_watching() {
  kill -TERM "$watcher_pid"
  wait "$watcher_pid" 2>/dev/null || true
}
summary() {
  local file=$1 elapsed=$2
  [ -s "$file" ] || { echo "-"; return; }
  awk -v s="$elapsed" '
    $1 == "configure" { printf "%.0f configures/s, ", $2 / s }
    $1 == "restack" { printf "%.1f restacks/s", $2 / s }
    $1 == "property" { props = props sprintf(" %s %.1f/s,", $2, $3 / s) }
    END { printf "; properties:%s", props ? props : " none" }' "$file" | sed 's/,$//'
}

rows=()
echo "Idle desktop, ${seconds}s each phase" >&2
begin_phase
sleep 5
end_phase "Nothing moving (5 s)" /dev/null

echo "The game" >&2
start_playing --name Bench "$build/app/orvanta" # a minute: phases of up to 50 s
sleep 1
watch_window "$ball" "$work/game.txt"
begin_phase "$game_pid"
deadline=$(awk -v s="$seconds" -v n="$(date +%s)" 'BEGIN {printf "%.0f", n + s}')
while [ "$(date +%s)" -lt "$deadline" ]; do
  # Keep the ball flying: knock it from its lower left every two seconds.
  geometry "$ball"
  xdotool mousemove $((X + 16)) $((Y + 50)) sleep 0.05 mousemove 1000 20
  sleep 2
done
stop_watching
end_phase "orvanta, during play" "$work/game.txt"
kill -TERM "$game_pid"
expect_exit 3 0

echo "oneko" >&2
/usr/games/oneko >/dev/null 2>&1 &
oneko=$!
cleanup_pids+=("$oneko")
sleep 1
begin_phase "$oneko"
circle_pointer_for "$seconds"
end_phase "oneko, chasing the pointer" /dev/null
kill "$oneko"

for kind in managed override-redirect; do
  echo "Plain Xlib window, $kind" >&2
  options=(--rate 100)
  [ "$kind" = override-redirect ] && options+=(--override-redirect)
  "$build/bench/xlib_mover" "${options[@]}" &
  mover=$!
  cleanup_pids+=("$mover")
  window=$(wait_window xlib_mover 5)
  watch_window "$window" "$work/mover.txt"
  begin_phase "$mover"
  sleep "$seconds"
  stop_watching
  end_phase "Plain Xlib window, 100 moves/s, $kind" "$work/mover.txt"
  kill "$mover"
done

echo "| Under mutter (X11, Xvfb) | Program (% of a core) | mutter | Xvfb | What X reports of the moving window |"
echo "|---|---|---|---|---|"
printf '%s\n' "${rows[@]}"
rm -rf "$work"
