#!/usr/bin/env bash
# The game met by a hostile user and a hostile system: bad options, a window system it
# cannot open, windows and boxes destroyed by other clients, a small screen, signals and
# the X server dying. It never hangs and never dumps core: it answers with one clear line
# and a status, or asks the player, and goes on. The game cut short by the X server's
# death replays up to the last line its recording has; shown in real windows, that
# replay takes no input but Escape, which ends it at once, and closes from outside change
# nothing in it. A replay that goes another way than its recording ends with status 3 in
# either player; one recorded on a larger screen says so and plays.
# usage: faults_e2e.sh <orvanta binary> <x_watch> <orvanta-sim> <close_request> <artefacts folder>
set -euo pipefail
source "$(dirname "$0")/x11.sh"
arguments game x_watch sim close_request artefacts -- "$@"

# Prints the id of the visible window named $1 other than $2 (one made anew in its
# place), waiting up to $3 seconds.
wait_new_window() {
  local name=$1 old=$2 seconds=$3 id
  local deadline=$((SECONDS + seconds))
  while [ $SECONDS -le $deadline ]; do
    id=$(xdotool search --onlyvisible --name "$(exactly "$name")" 2>/dev/null | grep -vx "$old" | head -n 1 || true)
    if [ -n "$id" ]; then
      echo "$id"
      return 0
    fi
    sleep 0.05
  done
  fail "no new window named '$name' after ${seconds}s"
}

shape_of() { xwininfo -shape -id "$1" | grep "Window shape extents" || fail "window $1 has no shape"; }

echo "No X server at all"
missing=1000
while [ -e "/tmp/.X11-unix/X$missing" ]; do missing=$((missing + 1)); done
DISPLAY=":$missing" start_game "$game" 2>"$artefacts/no-server.txt"
expect_exit 2 1
expect_one_line "$artefacts/no-server.txt"
env -u DISPLAY "$game" 2>"$artefacts/no-display.txt" && fail "the game ran with no DISPLAY"
expect_one_line "$artefacts/no-display.txt"

own_xvfb 640x480
no_wayland=$(mktemp -d)
chmod 700 "$no_wayland"
echo "Starts that end at once"
ends_at_once 0 "usage: orvanta" "" "$game" --help
ends_at_once 0 "orvanta 1.0.0" "" "$game" --version
ends_at_once 2 "" "unknown option '--bogus'" "$game" --bogus
ends_at_once 2 "" "the game takes no arguments" "$game" extra
ends_at_once 2 "" "--record needs a value" "$game" --record
ends_at_once 2 "" "--record and --replay do not go together" "$game" --record a --replay b
ends_at_once 1 "" "the Qt platform 'offscreen' shows no windows" env QT_QPA_PLATFORM=offscreen "$game"
ends_at_once 1 "" "the Qt platform 'offscreen' shows no windows" "$game" -platform offscreen
ends_at_once 1 "" "the Qt platform 'minimal' shows no windows" "$game" --platform minimal
ends_at_once 1 "" "cannot reach a Wayland server at $no_wayland/wayland-0" \
  env -u WAYLAND_DISPLAY XDG_RUNTIME_DIR="$no_wayland" QT_QPA_PLATFORM=wayland "$game"
ends_at_once 1 "" "the Qt platform 'linuxfb' finds no display device" \
  env QT_QPA_PLATFORM=linuxfb:fb=/nonexistent/fb0 "$game"
# The console platforms would take over a real console where one can be opened.
if [ ! -e /dev/fb0 ] && ! compgen -G "/dev/dri/card*" >/dev/null; then
  ends_at_once 1 "" "the Qt platform 'eglfs' finds no display device" env QT_QPA_PLATFORM=eglfs "$game"
  ends_at_once 1 "" "the Qt platform 'minimalegl' finds no display device" \
    env QT_QPA_PLATFORM=minimalegl "$game"
fi
ends_at_once 1 "" "Qt cannot start its platform 'nosuchplatform'" env QT_QPA_PLATFORM=nosuchplatform "$game"
ends_at_once 1 "" "the X server at DISPLAY=$DISPLAY.3 has no such screen" env DISPLAY="$DISPLAY.3" "$game"
ends_at_once 1 "" "cannot reach the X server at DISPLAY=:$missing" "$game" -display ":$missing"
ends_at_once 1 "" "QT_SCALE_FACTOR must be a number above 0, not '0'" env QT_SCALE_FACTOR=0 "$game"
ends_at_once 1 "" "QT_SCALE_FACTOR must be a number above 0, not 'nan'" env QT_SCALE_FACTOR=nan "$game"
echo "Arguments and variables that speak to the terminal are shown escaped"
accents() { printf '\303\251%.0s' $(seq "$1"); } # an e with an accent, two bytes, $1 times
ends_at_once 2 "" "the game takes no arguments, not '\\x1b]2;TITLE\\x07'" "$game" $'\e]2;TITLE\a'
ends_at_once 2 "" "unknown option '--x\\x1b[31m'" "$game" $'--x\e[31m'
ends_at_once 2 "" "unknown option '--\\xe2\\x80\\xaex'" "$game" $'--\xe2\x80\xaex'
ends_at_once 2 "" "the game takes no arguments, not 'x$(accents 19)...'" "$game" "x$(accents 25)"
ends_at_once 1 "" "cannot reach the X server at DISPLAY=\\x1b[31mX" env DISPLAY=$'\e[31mX' "$game"
ends_at_once 1 "" "QT_SCALE_FACTOR must be a number above 0, not '\\x1b]2;T\\x07'" \
  env QT_SCALE_FACTOR=$'\e]2;T\a' "$game"
rmdir "$no_wayland"

echo "Signals end the game as EndProgram does"
for signal in HUP TERM INT; do
  start_game "$game" 2>"$artefacts/signal-$signal.txt"
  wait_window "Form Loading" 8 >/dev/null
  kill -"$signal" "$game_pid"
  expect_exit 2 0
  [ ! -s "$artefacts/signal-$signal.txt" ] || fail "SIG$signal: $(cat "$artefacts/signal-$signal.txt")"
done
echo "Qt's own messages show an argument they quote escaped"
start_game "$game" -style $'\e[31mX' 2>"$artefacts/style.txt"
wait_window "Form Loading" 8 >/dev/null
kill -TERM "$game_pid"
expect_exit 2 0
grep -qF "'\\x1b[31mX'" "$artefacts/style.txt" || fail "Qt said: $(cat -v "$artefacts/style.txt")"
! LC_ALL=C grep -q $'\e' "$artefacts/style.txt" || fail "Qt said: $(cat -v "$artefacts/style.txt")"
echo "Started with the hang-up ignored (nohup), the game plays on after one"
start_game nohup "$game" 2>/dev/null
wait_window "Form Loading" 8 >/dev/null
kill -HUP "$game_pid"
sleep 0.5
kill -0 "$game_pid" 2>/dev/null || fail "SIGHUP ended a game started under nohup"
kill -TERM "$game_pid"
expect_exit 2 0

echo "Windows and boxes destroyed by another client, in a game on a 640x480 screen"
# xdotool windowclose destroys the X window; a window is asked about as a close box would
# ask, and a box answers as closed: OK, or No to the exit question.
start_game "$game" 2>"$artefacts/closes.txt"
xdotool windowclose "$(wait_window "Form Loading" 8)"
xdotool windowclose "$(wait_window "Exit" 5)"
wait_gone "Exit"
wait_window "Form Loading" 2 >/dev/null
entry=$(wait_window "Orvanta Basketball" 8)
xdotool windowclose "$entry"
focus_window "$(wait_window "Exit" 5)"
xdotool key n
wait_gone "Exit"
entry=$(wait_window "Orvanta Basketball" 5)
geometry "$entry"
xdotool mousemove $((X + 40)) $((Y + 40))
xdotool windowfocus --sync "$entry"
xdotool key --clearmodifiers alt+p
xdotool type --delay 20 Ann
xdotool key --clearmodifiers alt+m Down
xdotool mousemove $((X + 360)) $((Y + 308)) click 1
xdotool windowclose "$(wait_window "Game Play" 5)"
wait_window "Clock" 5 >/dev/null
sleep 1 # the cool-down's first tick gives the ball the keyboard
xdotool key Escape
xdotool windowclose "$(wait_window "Exit" 5)"
wait_gone "Exit"
sleep 0.5
xdotool key Escape
wait_window "Exit" 5 >/dev/null
xdotool key Return # No
wait_gone "Exit"
# The ball's window, whose moves go to X past Qt's books, comes back too, cut to its
# shape; and No to the question plays on, to the end of the game.
ball=$(wait_window "Clock" 2)
ball_shape=$(shape_of "$ball")
xdotool windowclose "$ball"
exit_box=$(wait_window "Exit" 5)
ball=$(wait_new_window "Clock" "$ball" 2)
[ "$(shape_of "$ball")" = "$ball_shape" ] || fail "the ball came back as $(shape_of "$ball"), not $ball_shape"
focus_window "$exit_box"
xdotool key n
wait_gone "Exit"
wait_window "Clock" 1 >/dev/null
wait_window "Whats the score?" 70 >/dev/null
xdotool key Return
end=$(wait_window "The End" 5)
# 255 px from the left would run 39 px off a 640 px screen: it lies against the edge.
expect_geometry "$end" 216 209 424 216 "the end screen"
screenshot "$artefacts/end-640x480.png"
xdotool windowclose "$end"
focus_window "$(wait_window "Exit" 5)"
xdotool key y
expect_exit 3 0

echo "A file that is not a replay is refused before anything shows"
status=0
"$game" --replay "$artefacts/no-display.txt" 2>"$artefacts/bad-replay.txt" || status=$?
[ "$status" = 2 ] || fail "a bad replay ended with status $status, expected 2"
expect_one_line "$artefacts/bad-replay.txt"
grep -q "^orvanta: $artefacts/no-display.txt: line 1: not a replay" "$artefacts/bad-replay.txt" ||
  fail "a bad replay said: $(cat "$artefacts/bad-replay.txt")"

echo "The X server killed during a game"
own_xvfb 1024x768

watch_ball "$x_watch"
start_playing --stderr "$artefacts/stderr.txt" "$game" --record "$artefacts/cut.replay"
sleep 1
kill -KILL "$xvfb_pid"
expect_exit 2 1
expect_one_line "$artefacts/stderr.txt"

echo "The recording cut short by the X server's death replays up to its last line"
summary=$(replay_summary "$sim" "$artefacts/cut.replay" "$artefacts/replay-trace.txt")
expect_summary "$summary" name '"Ann"'
expect_summary "$summary" ended '"cut"'
moves=$(expect_ball_path "$artefacts/watch.txt" "$artefacts/replay-trace.txt")
echo "$moves places of the ball seen by X are the replay's"

echo "Shown in real windows, the replay takes no input but Escape"
own_xvfb 1024x768
start_game "$game" --replay "$artefacts/cut.replay"
ball=$(wait_window "Clock" 10)
sleep 0.3
geometry "$ball"
xdotool mousemove $((X + 32)) $((Y + 32)) click 1 # a click on the ball would end a game
sleep 0.3
kill -0 "$game_pid" 2>/dev/null || fail "a click ended the replay"
xdotool key Escape
expect_exit 2 0

echo "A replay that goes another way than its recording: status 3 and one line, in either player"
# The loading screen asked to close and the exit question answered; then the recording
# ends with another status, goes on after the end, ends where the program does not, or
# has the pointer where the window is not.
header=$(head -n 1 "$artefacts/cut.replay")
while IFS='|' read -r name answer last said; do
  printf '%s\n' "$header" '1000 close frmloading' "1000 answer $answer" "$last" >"$artefacts/$name.replay"
  for player in "$game" "$sim"; do
    echo "  $(basename "$player") --replay $name.replay"
    status=0
    timeout 20 "$player" --replay "$artefacts/$name.replay" </dev/null >/dev/null 2>"$artefacts/$name.txt" || status=$?
    [ "$status" = 3 ] || fail "$name ended with status $status, expected 3: $(cat "$artefacts/$name.txt")"
    expect_one_line "$artefacts/$name.txt"
    [ "$(cat "$artefacts/$name.txt")" = "$(basename "$player"): $artefacts/$name.replay: line 4: $said; the replay stops there" ] ||
      fail "$name said: $(cat "$artefacts/$name.txt")"
  done
done <<'CASES'
other-status|6|1000 exit 1|the recorded program ended here with status 1, the replayed one with status 0
ends-early|6|1500 tick frmloading Timer1|the replayed program ended (status 0) before 'tick frmloading Timer1'
no-end|7|1000 exit 0|the recorded program ended here (exit 0), the replayed one did not
off-window|7|1000 move frmloading 999999 0 0 0|the replayed program did not take 'move frmloading 999999 0 0 0'
CASES

echo "Closes from outside during a replay change nothing: no box answered, no question asked"
printf '%s\n' "$header" '1000 close frmloading' '6000 answer 7' '10000 tick frmloading Timer1' \
  >"$artefacts/closes.replay"
start_game "$game" --replay "$artefacts/closes.replay" 2>"$artefacts/closes-replayed.txt"
box=$(wait_window "Exit" 5)
"$close_request" "$box" # WM_DELETE_WINDOW, as a window manager's close box sends
sleep 0.5
[ "$(xdotool search --onlyvisible --name '^Exit$')" = "$box" ] || fail "a close request answered the replayed box"
xdotool windowclose "$box"
wait_new_window "Exit" "$box" 2 >/dev/null
wait_gone "Exit" 8 # answered where the recording answers it
loading=$(wait_window "Form Loading" 1)
"$close_request" "$loading"
xdotool windowclose "$loading"
wait_new_window "Form Loading" "$loading" 2 >/dev/null
sleep 0.5
xdotool search --onlyvisible --name '^Exit$' >/dev/null && fail "a close asked the exit question in a replay"
expect_exit 10 0
[ ! -s "$artefacts/closes-replayed.txt" ] || fail "closes in a replay: $(cat "$artefacts/closes-replayed.txt")"
# The ball that moved half a second, then rests for six: a window its moves hold apart.
awk '$2 == "tick" && $3 == "clock" && !first { first = $1 }
  first && $1 > first + 500 { print last + 6000 " tick clock Timer1"; exit }
  { print; last = $1 }' "$artefacts/cut.replay" >"$artefacts/ball-rests.replay"
start_game "$game" --replay "$artefacts/ball-rests.replay" 2>"$artefacts/ball-rests.txt"
ball=$(wait_window "Clock" 10)
sleep 1
geometry "$ball"
place=("$X" "$Y")
ball_shape=$(shape_of "$ball")
xdotool windowclose "$ball"
ball=$(wait_new_window "Clock" "$ball" 5)
expect_place "$ball" "${place[0]}" "${place[1]}" "the ball made anew"
[ "$(shape_of "$ball")" = "$ball_shape" ] || fail "the ball came back as $(shape_of "$ball"), not $ball_shape"
"$close_request" "$ball"
sleep 0.5
xdotool search --onlyvisible --name '^Exit$' >/dev/null && fail "a close of the ball asked the exit question in a replay"
expect_exit 10 0
[ ! -s "$artefacts/ball-rests.txt" ] || fail "the ball closed in a replay: $(cat "$artefacts/ball-rests.txt")"

echo "A replay recorded on a larger screen says so, and plays with its windows off this one"
sed '1s/ screen [0-9]*x[0-9]* / screen 100000x100000 /' "$artefacts/cut.replay" >"$artefacts/large.replay"
start_game "$game" --replay "$artefacts/large.replay" 2>"$artefacts/large.txt"
# Centred on the recorded screen, the entry screen would stand at 49752,49805: X holds a
# position in 16 bits, where that is -15784,-15731. It stands just past the corner instead.
expect_geometry "$(wait_window "Orvanta Basketball" 10)" 1024 768 497 390 "the entry screen"
expect_exit 10 0
expect_one_line "$artefacts/large.txt"
[ "$(cat "$artefacts/large.txt")" = "orvanta: $artefacts/large.replay: recorded on a 100000x100000 screen, larger than this one (1024x768): windows past its edges do not show" ] ||
  fail "a replay from a larger screen said: $(cat "$artefacts/large.txt")"

echo "A pause of 2^31 ms or more in a replay is waited out without a word"
head -n 1 "$artefacts/cut.replay" >"$artefacts/pause.replay"
printf '500 tick frmloading Timer1\n3000000000 tick frmloading Timer1\n' >>"$artefacts/pause.replay"
start_game "$game" --replay "$artefacts/pause.replay" 2>"$artefacts/pause.txt"
wait_window "Form Loading" 8 >/dev/null
sleep 1
kill -TERM "$game_pid"
expect_exit 2 0
[ ! -s "$artefacts/pause.txt" ] || fail "the long pause: $(cat "$artefacts/pause.txt")"
echo "PASS"
