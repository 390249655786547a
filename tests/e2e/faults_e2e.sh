#!/usr/bin/env bash
# The game met by a hostile user and a hostile system: bad options, a window system it
# cannot open, windows and boxes destroyed by other clients, a small screen, signals and
# the X server dying. It never hangs and never dumps core: it answers with one clear line
# and a status, or asks the player, and goes on. The game cut short by the X server's
# death replays up to the last line its recording has; shown in real windows, that
# replay takes no input but Escape, which ends it at once.
# usage: faults_e2e.sh <orvanta binary> <x_watch> <orvanta-sim> <artefacts folder>
set -euo pipefail
source "$(dirname "$0")/x11.sh"
arguments game x_watch sim artefacts -- "$@"

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
rmdir "$no_wayland"

echo "Signals end the game as EndProgram does"
for signal in HUP TERM INT; do
  start_game "$game" 2>"$artefacts/signal-$signal.txt"
  wait_window "Form Loading" 8 >/dev/null
  kill -"$signal" "$game_pid"
  expect_exit 2 0
  [ ! -s "$artefacts/signal-$signal.txt" ] || fail "SIG$signal: $(cat "$artefacts/signal-$signal.txt")"
done
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
