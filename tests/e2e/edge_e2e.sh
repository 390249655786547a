#!/usr/bin/env bash
# The ball above the top edge, under a real window manager: a recorded game whose ball
# flies out of sight over the top and back is replayed in real windows. What X shows of
# the ball is where the game has it: cut at the edge while partly above, nothing while
# wholly above; afterwards the ball is still on the taskbar and Escape still reaches it.
# usage: edge_e2e.sh <mutter|xfwm4|kwin_x11|slow> <orvanta binary> <orvanta-sim> <window_track>
#                    <artefacts folder>
set -euo pipefail
source "$(dirname "$0")/x11.sh"
source "$(dirname "$0")/desktops.sh"
arguments manager game sim window_track artefacts -- "$@"
own_window_manager "$manager" 1024x768

echo "A game whose ball flies over the top, recorded headless and replayed in real windows"
"$sim" --script "$(dirname "$0")/ball_above.script" --until 30000 \
  --record "$artefacts/game.replay" >/dev/null || fail "orvanta-sim cannot record the game"
"$sim" --replay "$artefacts/game.replay" --trace >"$artefacts/game.trace" ||
  fail "orvanta-sim cannot replay its own recording"
start_game "$game" --replay "$artefacts/game.replay"
ball=$(wait_window Clock 10)
# The ball flies up from 5.6 s into the recording and is back on the floor by 11 s.
"$window_track" "$ball" 7 --shape >"$artefacts/ball.txt" || fail "the ball could not be followed"

echo "What X showed of the ball is where the game had it"
# Each place of the ball, read from where the window stands and how far down its shape
# reaches (the ball's lowest row is its 62nd), must be one that the game had it at, in
# the game's order; "absent" when nothing of it shows. (The ball keeps clear of the side
# edges here.) A window manager moves a window when it gets to the request, while a new
# shape holds at once; so the game has one move on its way at a time, and sends the
# window's next place only once the manager has answered the last. Where X paints the
# screen, the shape and picture for the new place follow the answer: one look may show
# the new place with the shape of the look before. Under a compositing manager, which
# paints the move and the shape sent with it in one go, they go together: one look may
# show the shape for the next place (a place the game has next) at the place before; and
# when the manager lags by more than a tick, the game's answer to its move is so quick
# that every look is such a mix, each with the shape for the place of the look after.
# Nothing else passes.
result=$(awk '
  BEGIN { n = 0; m = 0; i = 0 }
  FNR == NR {
    if (match($0, /"x":-?[0-9]+,"y":-?[0-9]+/)) {
      split(substr($0, RSTART, RLENGTH), part, /[:,]/)
      at = part[2] " " part[4]
      if (at != last) { path[n] = at; high[n] = part[4] + 62 <= 0; n++; last = at }
    }
    next
  }
  { place[m] = $1 " " $2; shape[m] = $3 " " $4 " " $5 " " $6; y[m] = $2; bottom[m] = $6; right[m] = $5; m++ }
  END {
    for (k = 0; k < m && !failed; k++) {
      if (right[k] <= 0 || bottom[k] <= 0) {
        while (i < n && !high[i]) i++
        if (i == n) { print "nothing of the ball showed, yet the game never had it out of sight then"; failed = 1 }
        absent++
        absent_since = 1
        continue
      }
      seen = substr(place[k], 1, index(place[k], " ") - 1) " " (y[k] + bottom[k] - 62)
      # A place the game has next: within half a second of the last, unless the ball was
      # out of sight meanwhile (the ball passes its places again later in the game).
      reach = k == 0 || absent_since ? n : i + 50
      for (j = i; j < n && j <= reach && path[j] != seen; j++) ;
      if (j == n || j > reach) {
        if (k > 0 && k + 1 < m && place[k] == place[k + 1] && place[k] != place[k - 1] &&
            shape[k] == shape[k - 1]) { mixed++; continue }
        if (k > 0 && k + 1 < m && place[k + 1] != place[k] &&
            (place[k] == place[k - 1] || mix[k - 1])) {
          ahead = substr(place[k + 1], 1, index(place[k + 1], " ") - 1) " " (y[k + 1] + bottom[k] - 62)
          for (j = i; j < n && j <= reach && path[j] != ahead; j++) ;
          if (j < n && j <= reach) { i = j; mix[k] = 1; mixed++; continue }
        }
        print "X showed the ball as at " seen "; the game never has it there next"
        failed = 1
        continue
      }
      i = j
      absent_since = 0
      matched++
      if (bottom[k] < 62 && y[k] == 0) cut++
    }
    if (!failed) print matched, cut + 0, absent + 0, mixed + 0
  }' "$artefacts/game.trace" "$artefacts/ball.txt")
read -r matched cut absent mixed <<<"$result" || true
[[ $matched =~ ^[0-9]+$ ]] || fail "$result"
echo "$matched places matched, $cut of them cut at the top edge, $absent out of sight;" \
  "$mixed looks of a move on its way"
[ "$cut" -gt 0 ] || fail "X never showed the ball cut at the top edge"
[ "$absent" -gt 0 ] || fail "X showed the ball all the while it was out of sight"

echo "The ball is still on the taskbar, and Escape still reaches it"
! prints SKIP_TASKBAR xprop -id "$ball" _NET_WM_STATE || fail "the ball is off the taskbar"
prints "$(printf '0x%x' "$ball")" xprop -root _NET_CLIENT_LIST ||
  fail "the window manager does not list the ball"
screenshot "$artefacts/back.png"
xdotool key Escape
expect_exit 3 0
echo "PASS"
