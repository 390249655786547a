#!/usr/bin/env bash
# The ball above the top edge, under a real window manager: a recorded game whose ball
# flies out of sight over the top and back is replayed in real windows. What X shows of
# the ball is where the game has it: cut at the edge while partly above, nothing while
# wholly above; afterwards the ball is still on the taskbar and Escape still reaches it.
# usage: edge_e2e.sh <mutter|xfwm4|kwin_x11> <orvanta binary> <orvanta-sim> <window_track>
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
# edges here.) A window manager moves the window a moment after it is asked, while a new
# shape holds at once: a look in between, which shows the window where the look before
# had it with the shape of the look after (or the other way round), is no place of its own.
# KWin moves a window only once the game has answered its sync request, which under load
# takes a few frames: a look whose window still stands where the look before had it, and
# that moves within the next five looks, is such a move on its way.
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
        continue
      }
      seen = substr(place[k], 1, index(place[k], " ") - 1) " " (y[k] + bottom[k] - 62)
      j = i
      while (j < n && path[j] != seen) j++
      if (j == n) {
        if (k > 0 && k + 1 < m && (place[k] == place[k - 1] && shape[k] == shape[k + 1] ||
                                   place[k] == place[k + 1] && shape[k] == shape[k - 1])) continue
        if (k > 0 && place[k] == place[k - 1]) {
          for (l = k + 1; l < m && l <= k + 5 && place[l] == place[k]; l++) ;
          if (l < m && l <= k + 5) continue
        }
        print "X showed the ball as at " seen "; the game never has it there next"
        failed = 1
        continue
      }
      i = j
      matched++
      if (bottom[k] < 62 && y[k] == 0) cut++
    }
    if (!failed) print matched, cut + 0, absent + 0
  }' "$artefacts/game.trace" "$artefacts/ball.txt")
read -r matched cut absent <<<"$result" || true
[[ $matched =~ ^[0-9]+$ ]] || fail "$result"
echo "$matched places matched, $cut of them cut at the top edge, $absent out of sight"
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
