#!/usr/bin/env bash
# What the player sees of the ball at the top edge: the recorded game whose ball flies over
# the top of the screen and back (tests/e2e/ball_above.script) is replayed in real windows
# under a window manager by each build given, while `import` photographs the top 100 rows
# of the screen as fast as it goes; shot_check holds each photograph against the headless
# trace. A ball that the game never had (place, shape and picture of different ticks) is
# what a player sees torn. The photographs of each build stay in the folder it prints.
# usage: bench/edge_screens.sh <mutter|xfwm4|kwin_x11|slow> <build folder>... [-r ROUNDS]
#        (run from the repository root; orvanta-sim and shot_check come from the first)
set -euo pipefail
manager=$1
shift
builds=()
rounds=3
while [ $# -gt 0 ]; do
  case $1 in
    -r) rounds=$2; shift 2 ;;
    *) builds+=("$(realpath "$1")"); shift ;;
  esac
done
[ ${#builds[@]} -gt 0 ] || { echo "usage: bench/edge_screens.sh MANAGER BUILD... [-r ROUNDS]" >&2; exit 2; }
source "$(dirname "$0")/../scripts/lib.sh"
mapfile -t program_packages < <(packages_of "${test_programs[@]}")
install_missing "${test_packages[@]}" "${program_packages[@]}"
source "$(dirname "$0")/../tests/e2e/x11.sh"
source "$(dirname "$0")/../tests/e2e/desktops.sh"
export SLOW_WM=${builds[0]}/tests/e2e/slow_wm
shot_check=${builds[0]}/tests/e2e/shot_check
sim=${builds[0]}/tools/orvanta_sim/orvanta-sim
for build in "${builds[@]}"; do
  [ -x "$build/app/orvanta" ] || fail "build the game in $build first"
done
artefacts=$(mktemp -d)
own_window_manager "$manager" 1024x768
"$sim" --script tests/e2e/ball_above.script --until 30000 --record "$artefacts/game.replay" >/dev/null
"$sim" --replay "$artefacts/game.replay" --trace >"$artefacts/game.trace"

for round in $(seq 1 "$rounds"); do
  for which in "${!builds[@]}"; do
    build=${builds[$which]}
    shots=$artefacts/build$((which + 1))-round$round
    mkdir -p "$shots"
    start_game "$build/app/orvanta" --replay "$artefacts/game.replay"
    wait_window Clock 10 >/dev/null
    # The ball flies up from 5.6 s into the recording and is back on the floor by 11 s.
    sleep 5
    for n in $(seq -w 1 60); do
      import -silent -window root -crop 1024x100+0+0 +repage "$shots/$n.png" 2>/dev/null || break
    done
    xdotool key Escape 2>/dev/null || true
    while kill -0 "$game_pid" 2>/dev/null; do sleep 0.1; done
    echo "$build, round $round: $("$shot_check" assets/ball.png \
      "$artefacts/game.trace" "$shots"/*.png | tail -n 1)"
  done
done
echo "Photographs in $artefacts"
